#include "editor/BufferForm.h"

#include "platform/richtext/RichTextBox.h"

#include <QWidget>

BufferForm &frmBuffer()
{
    static BufferForm form;
    return form;
}

RichTextBox *BufferForm::BufferBox()
{
    if (!m_window) {
        m_window = new QWidget;
        m_window->setObjectName(QStringLiteral("frmBuffer"));
        m_box = new RichTextBox(m_window);
        m_box->setObjectName(QStringLiteral("BufferBox"));
    }
    return m_box;
}

void BufferForm::Unload()
{
    if (QWidget *window = m_window) {
        m_window = nullptr;
        m_box = nullptr;
        window->deleteLater();
    }
}
