#pragma once

// Starting and ending runs of the application shell inside one test program,
// and watching which commands the windows run.

#include "app/Main.h"
#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "editor/BufferForm.h"
#include "editor/Commands.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/Settings.h"
#include "platform/system/StatusBar.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QtTest>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace shelltest {

// Puts a value into the section "Settings" or "Fonts" before a start.
inline void store(const QString &section, const QString &key, const QString &value)
{
    SaveSetting(AppName, section, key, value);
}

inline QString stored(const QString &section, const QString &key)
{
    return GetSetting(AppName, section, key, QStringLiteral("<missing>"));
}

// The keys of a section as the store holds them.
inline QStringList storedKeys(const QString &section)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, AppName, AppName);
    settings.beginGroup(section);
    return settings.childKeys();
}

// Runs Main (with no file to open) and waits until the window is on screen.
inline EditorWindow &start()
{
    Main(QString());
    EditorWindow &window = currentWindow();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("the editor window was not exposed");
    return window;
}

// Makes the current window active with the keyboard focus in its editor, so
// that key events take the way typed keys take.
inline RichTextBox &focusEditor()
{
    EditorWindow &window = currentWindow();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the editor window did not become active");
    App.CurrentRichTextBox->setFocus();
    return *App.CurrentRichTextBox;
}

// Ends a run as the user's close leaves it for the next start: the windows
// still loaded unload as the program unloads them, those pending deletion
// go, and the application state starts afresh; what was stored stays.
inline void endRunKeepingTheStore()
{
    if (App.CurrentForm)
        App.CurrentForm->Unload();
    frmBuffer().Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    App = modMainModule();
}

// Ends a run as a test needs it: as above, and the store is emptied.
inline void endRun()
{
    endRunKeepingTheStore();
    DeleteSetting(AppName);
}

inline QAction &item(const char *name) { return currentItem(name); }

// Counts the runs of the commands given while it lives, in place of their own
// routines (which it puts back when it goes).
class CommandWatch
{
public:
    explicit CommandWatch(const std::vector<Command> &watched)
        : CommandWatch(watched, std::make_index_sequence<CommandCount>())
    {
    }

    static std::vector<Command> everyCommand()
    {
        std::vector<Command> all;
        for (int i = 0; i < CommandCount; ++i)
            all.push_back(Command(i));
        return all;
    }
    ~CommandWatch()
    {
        for (int i = 0; i < CommandCount; ++i)
            routineOf(Command(i)) = m_saved[i];
    }
    CommandWatch(const CommandWatch &) = delete;
    CommandWatch &operator=(const CommandWatch &) = delete;

    int runs(Command command) const { return counts()[int(command)]; }
    // The number of runs of every command together.
    int totalRuns() const
    {
        int total = 0;
        for (int count : counts())
            total += count;
        return total;
    }

private:
    template<std::size_t... I>
    CommandWatch(const std::vector<Command> &watched, std::index_sequence<I...>)
    {
        counts().fill(0);
        const auto isWatched = [&watched](std::size_t i) {
            return std::find(watched.begin(), watched.end(), Command(i)) != watched.end();
        };
        ((m_saved[I] = routineOf(Command(I)),
          routineOf(Command(I)) = isWatched(I) ? &count<I> : m_saved[I]),
         ...);
    }
    static std::array<int, CommandCount> &counts()
    {
        static std::array<int, CommandCount> c{};
        return c;
    }
    template<std::size_t I>
    static void count()
    {
        ++counts()[I];
    }

    std::array<Routine, CommandCount> m_saved{};
};

} // namespace shelltest
