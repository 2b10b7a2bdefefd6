#include "BenchApp.h"

#include "app/state/modMainModule.h"
#include "editor/BufferForm.h"
#include "editor/EditorForm.h"
#include "platform/system/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

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

void PaintWatch::waitForPaint()
{
    QElapsedTimer timer;
    timer.start();
    while (!painted && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool PaintWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        painted = true;
    return false;
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
