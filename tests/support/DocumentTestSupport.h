#pragma once

// Running the file commands in tests: files in a temporary folder, a watch on
// the program's immediate end, and the texts of the boxes the commands show.

#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"

#include "document/ProgramEnd.h"
#include "platform/dialogs/MessageBox.h"

#include <QDir>
#include <QFile>

namespace doctest {

// Notes each time the program would end at once, in place of the real end,
// while it lives.
class ProgramEndWatch
{
public:
    ProgramEndWatch()
        : m_saved(endProgramNow)
    {
        ends() = 0;
        endProgramNow = [] { ++ends(); };
    }
    ~ProgramEndWatch() { endProgramNow = m_saved; }
    ProgramEndWatch(const ProgramEndWatch &) = delete;
    ProgramEndWatch &operator=(const ProgramEndWatch &) = delete;

    int count() const { return ends(); }

private:
    static int &ends()
    {
        static int n = 0;
        return n;
    }
    void (*m_saved)();
};

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline QString native(const QString &path) { return QDir::toNativeSeparators(path); }

// Types text at the caret as the user would: the document becomes modified.
inline void typeText(const QString &text) { App.CurrentRichTextBox->setSelText(text); }

// The question, the too-large box and the trap's box, as the user sees them.
inline const int SaveQuestionButtons = vbYesNoCancel + vbInformation + vbDefaultButton1;
inline const QString SaveQuestionTitle = QStringLiteral("Save Changes?");
inline QString saveQuestion(const QString &title)
{
    return QStringLiteral("Save the changes to ") + title + QStringLiteral(" before continuing?");
}

inline const int UnknownErrorButtons = vbOKCancel + vbCritical;
inline const QString UnknownErrorTitle = QStringLiteral("Unknown Error");
// The last line of the "Unknown Error" box; the first gives the number and
// the second the error's message.
inline const QString UnknownErrorLastLine
    = QStringLiteral("Click 'OK' to close Scrivlet or 'Cancel' to attempt to resume operation.");

// Checks that box is the trap's "Unknown Error" box for error number, and
// returns its middle line, the error's message, for the caller to check.
// Callers return when QTest::currentTestFailed().
inline QString unknownErrorMessage(const ScriptedModalHost::MessageBoxCall &box, int number)
{
    [&] {
        QCOMPARE(box.title, UnknownErrorTitle);
        QCOMPARE(box.buttons, UnknownErrorButtons);
        const QStringList lines = box.prompt.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QStringLiteral("An Unknown Error occured: %1").arg(number));
        QCOMPARE(lines.at(2), UnknownErrorLastLine);
    }();
    return box.prompt.section(QStringLiteral("\r\n"), 1, 1);
}

inline const QString SaveFailedTitle = QStringLiteral("Save Failed");

// The file dialogs' set-up.
inline const QString FileFilter = QStringLiteral(
    "Text Documents (*.txt)|*.txt|Rich Text Documents (*.rtf)|*.rtf|All Files|*.*");
constexpr long FileDialogFlags = 528390;

// Opens path as the user does through the Open dialog, on a clean document.
inline void openThroughDialog(ScriptedModalHost &host, const QString &path)
{
    host.chooseFile(path);
    runCommand(Command::FileOpen);
}

} // namespace doctest
