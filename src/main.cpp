#include "platform/RichTextBox.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlet"));
    RichTextBox editor;
    editor.resize(640, 480);
    editor.show();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        editor.LoadFile(args.at(1), RichTextBox::PlainText);
    return app.exec();
}
