// The editor windows under a real window manager (openbox on a virtual X
// display): the window manager's close button ends the program in either
// window mode, and a window brought back onto the screen shows its whole
// frame there.

#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "platform/dialogs/MessageBox.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include <xcb/xcb.h>

using namespace shelltest;

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

xcb_connection_t *x11Connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t rootWindow(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// A property of window as bytes (empty when it has none).
QByteArray property(xcb_connection_t *connection, xcb_window_t window, const char *name,
                    xcb_atom_t type)
{
    const xcb_get_property_cookie_t cookie
        = xcb_get_property(connection, 0, window, atom(connection, name), type, 0, 1 << 16);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    QByteArray value;
    if (reply)
        value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply)); // in bytes
    std::free(reply);
    return value;
}

// The window that the window manager manages under title, or 0.
xcb_window_t managedWindowTitled(const QString &title)
{
    xcb_connection_t *connection = x11Connection();
    const QByteArray list
        = property(connection, rootWindow(connection), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
    const auto *windows = reinterpret_cast<const xcb_window_t *>(list.constData());
    for (qsizetype i = 0; i < list.size() / qsizetype(sizeof(xcb_window_t)); ++i) {
        const QByteArray name
            = property(connection, windows[i], "_NET_WM_NAME", atom(connection, "UTF8_STRING"));
        if (QString::fromUtf8(name) == title)
            return windows[i];
    }
    return 0;
}

// Asks the window manager to close window, as its close button does: it
// then sends the window WM_DELETE_WINDOW.
void closeThroughTheWindowManager(xcb_window_t window)
{
    xcb_connection_t *connection = x11Connection();
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(connection, "_NET_CLOSE_WINDOW");
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = 2; // from a pager or the like: honoured at once
    xcb_send_event(connection, 0, rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

} // namespace

class WindowManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The offscreen platform may answer for X11 too, without a connection.
        const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb") && x11
                     && x11->connection(),
                 "needs an X display: QT_QPA_PLATFORM=xcb, with DISPLAY set");
    }
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void closeButtonEndsTheProgram_data()
    {
        QTest::addColumn<QString>("windowState");
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("normal window") << "0" << false;
        QTest::newRow("small window") << "1" << false;
        QTest::newRow("small window, unsaved changes") << "1" << true;
    }
    void closeButtonEndsTheProgram()
    {
        QFETCH(QString, windowState);
        QFETCH(bool, unsaved);
        store(QStringLiteral("Settings"), QStringLiteral("WindowState"), windowState);
        ScriptedModalHost host;
        EditorWindow &window = start();
        if (unsaved) {
            App.CurrentRichTextBox->setText(QStringLiteral("typed"));
            host.answerMessageBox(vbNo);
        }
        bool timedOut = false;
        QTimer::singleShot(
            0, &window, [&window] { closeThroughTheWindowManager(xcb_window_t(window.winId())); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [&timedOut] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        watchdog.start(10000);
        QCoreApplication::exec();
        QVERIFY2(!timedOut, "the program went on after its window was closed");
        QVERIFY(!App.CurrentForm->isLoaded());
        QCOMPARE(host.messageBoxes().size(), unsaved ? 1 : 0);
        QCOMPARE(stored(QStringLiteral("Settings"), QStringLiteral("WindowState")), windowState);
    }

    // The program itself, started as a file manager starts it: it opens the
    // file named on its command line, also one named like an option Qt takes
    // for itself, and ends with status 0 when its window is closed.
    void theProgramOpensItsFileAndEndsCleanly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("windowState");
        QTest::newRow("normal window") << "notes.txt"
                                       << "0";
        QTest::newRow("small window") << "notes.txt"
                                      << "1";
        QTest::newRow("a file named -reverse") << "-reverse"
                                               << "0";
        QTest::newRow("a file named -qwindowtitle") << "-qwindowtitle"
                                                    << "0";
    }
    void theProgramOpensItsFileAndEndsCleanly()
    {
        QFETCH(QString, name);
        QFETCH(QString, windowState);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("some text") == 9);
        file.close();
        const QString home = dir.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/config/Scrivlet")));
        QFile settings(home + QStringLiteral("/config/Scrivlet/Scrivlet.conf"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Settings]\nWindowState=" + windowState.toLatin1() + "\n");
        settings.close();

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(SCRIVLET_PROGRAM), {name});
        QVERIFY(program.waitForStarted());
        xcb_window_t window = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            (window = managedWindowTitled(name + QStringLiteral(" - Scrivlet"))) != 0, 15000);

        closeThroughTheWindowManager(window);
        QVERIFY2(program.waitForFinished(15000), "the program went on after its window was closed");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    void storedPlaceBeyondTheScreen_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("size");
        QTest::newRow("off the screen") << "999999"
                                        << "999999"
                                        << "6000";
        QTest::newRow("larger than the screen") << "0"
                                                << "0"
                                                << "1e9";
        QTest::newRow("larger than the screen, off it") << "999999"
                                                        << "999999"
                                                        << "1e9";
    }
    void storedPlaceBeyondTheScreen()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QString, size);
        for (const char *key : {"Width", "Height"})
            store(QStringLiteral("Settings"), QLatin1String(key), size);
        store(QStringLiteral("Settings"), QStringLiteral("Left"), left);
        store(QStringLiteral("Settings"), QStringLiteral("Top"), top);
        EditorWindow &window = start();
        const QRect screen = window.screen()->availableGeometry();
        QTRY_VERIFY(window.frameGeometry().height() > window.height()); // the title bar is on
        QTRY_VERIFY2(screen.contains(window.frameGeometry()),
                     qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                    .arg(window.frameGeometry().x())
                                    .arg(window.frameGeometry().y())
                                    .arg(window.frameGeometry().width())
                                    .arg(window.frameGeometry().height())));
    }
};

SCRIVLET_TEST_MAIN(WindowManagerTest)
#include "tst_x11_window_manager.moc"
