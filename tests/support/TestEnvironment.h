#pragma once

#include <QString>
#include <QtTest>

namespace testenv {

// Points HOME, XDG_CONFIG_HOME and the settings store at a fresh temporary
// folder, so that no test reads or writes the user's own settings and files.
// Must run before the QApplication is created.
void isolate();

// The folder made by isolate(); it lives until the process ends.
QString homeDir();

// ../shared/corpus beside the project, or an empty string when it is missing.
QString corpusDir();

} // namespace testenv

// QTEST_MAIN with an isolated environment.
#define SCRIVLET_TEST_MAIN(TestClass)                                          \
    int main(int argc, char **argv)                                            \
    {                                                                          \
        testenv::isolate();                                                    \
        QApplication app(argc, argv);                                          \
        app.setAttribute(Qt::AA_Use96Dpi, true);                               \
        TestClass tc;                                                          \
        QTEST_SET_MAIN_SOURCE_PATH                                             \
        return QTest::qExec(&tc, argc, argv);                                  \
    }
