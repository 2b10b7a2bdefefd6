#pragma once

#include <QString>
#include <QtTest>

namespace testenv {

// Points HOME, XDG_CONFIG_HOME and the settings store at a fresh temporary
// folder, so that no test reads or writes the user's own settings and files,
// and drops the user's screen scaling. Must run before the QApplication is
// created.
void isolate();

// True when the test runs on a scaled screen on purpose: SCRIVLET_TEST_SCREEN
// names it (the scaled runs that CTest adds), and the screen's own resolution
// is used.
bool scaledScreen();

// Makes the end of the program (endProgramNow) stop the tests with a
// failure: a test that expects it watches for it (ProgramEndWatch), and any
// other would end the test program with success, passing the tests it skips.
void failOnProgramEnd();

// The folder made by isolate(); it lives until the process ends.
QString homeDir();

// ../shared/corpus beside the project, or an empty string when it is missing.
QString corpusDir();

// Stops the running test when the corpus is missing: it is skipped with a
// word that says so, and fails in CI (CI set), where the corpus must be there.
#define SCRIVLET_REQUIRE_CORPUS() \
    do { \
        if (testenv::corpusDir().isEmpty()) { \
            if (qEnvironmentVariableIsSet("CI")) \
                QFAIL("The shared corpus (../shared/corpus) is missing"); \
            QSKIP("The shared corpus (../shared/corpus) is missing"); \
        } \
    } while (false)

// The first argument of a test program started as a helper process of its
// own tests (see SCRIVLET_TEST_MAIN_WITH_HELPER).
inline const QString HelperArgument = QStringLiteral("--helper");

} // namespace testenv

// QTEST_MAIN with an isolated environment.
#define SCRIVLET_TEST_MAIN(TestClass) SCRIVLET_TEST_MAIN_WITH_HELPER(TestClass, nullptr)

// SCRIVLET_TEST_MAIN for a test program that also serves its tests as another
// process: started with testenv::HelperArgument first, it runs
// helper(the arguments after it) in place of the tests and returns its result.
// The helper keeps the isolated environment of the tests that started it: it
// may be killed, and would leave a home of its own behind.
#define SCRIVLET_TEST_MAIN_WITH_HELPER(TestClass, helper) \
    int main(int argc, char **argv) \
    { \
        int (*const helperMain)(const QStringList &) = helper; \
        const bool asHelper = helperMain && argc > 1 \
            && QString::fromLocal8Bit(argv[1]) == testenv::HelperArgument; \
        if (!asHelper) \
            testenv::isolate(); \
        QApplication app(argc, argv); \
        app.setAttribute(Qt::AA_Use96Dpi, !testenv::scaledScreen()); \
        if (asHelper) \
            return helperMain(app.arguments().mid(2)); \
        testenv::failOnProgramEnd(); \
        TestClass tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }
