#pragma once

#include <QPointer>

class QWidget;
class RichTextBox;

// The shared instance of frmBuffer: a window that is loaded but never shown,
// whose only control BufferBox stages text off screen.
class BufferForm
{
public:
    // The control; the window is loaded first if it is not.
    RichTextBox *BufferBox();
    bool isLoaded() const { return !m_window.isNull(); }
    void Unload();

private:
    QPointer<QWidget> m_window;
    RichTextBox *m_box = nullptr;
};

BufferForm &frmBuffer();
