#include "BenchApp.h"

#include "app/state/modMainModule.h"
#include "editor/BufferForm.h"
#include "editor/EditorForm.h"
#include "platform/system/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <fstream>

namespace benchapp {

void useTemporarySettings()
{
    static QTemporaryDir dir;
    static const bool done = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        return true;
    }();
    Q_UNUSED(done);
}

void PaintWatch::watch(QWidget *widget)
{
    painted = false;
    widget->installEventFilter(this);
}

void PaintWatch::waitForPaint(int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!painted && timer.elapsed() < limitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool PaintWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        painted = true;
    return false;
}

void pressKey(QWidget &widget, int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&widget, &press);
    QApplication::sendEvent(&widget, &release);
    QApplication::processEvents();
}

long residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096 / (1024 * 1024);
}

void endRun()
{
    if (App.CurrentForm)
        App.CurrentForm->Unload();
    frmBuffer().Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    App = modMainModule();
    DeleteSetting(AppName);
}

} // namespace benchapp
