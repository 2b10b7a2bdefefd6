#include "platform/system/TopMost.h"

#include <QWidget>
#include <QWindow>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

void SetTopMost(QWidget *window, bool onTop)
{
    if (!window)
        return;
    QWidget *topLevel = window->window();

#ifdef Q_OS_WIN
    // The window keeps its place and size; SetWindowPos moves it into or out
    // of the top-most layer and activates it.
    SetWindowPos(reinterpret_cast<HWND>(topLevel->winId()), onTop ? HWND_TOPMOST : HWND_NOTOPMOST,
                 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
#else
    Qt::WindowFlags flags = topLevel->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (flags != topLevel->windowFlags()) {
        // QWidget::setWindowFlags would recreate the window, hiding it and
        // losing its place: the widget takes the flags as they are, and an
        // existing native window is told directly.
        const QPoint position = topLevel->pos();
        const QSize size = topLevel->size();
        topLevel->overrideWindowFlags(flags);
        if (QWindow *native = topLevel->windowHandle()) {
            native->setFlags(flags);
            if (topLevel->pos() != position)
                topLevel->move(position);
            if (topLevel->size() != size)
                topLevel->resize(size);
        }
    }
    if (topLevel->isVisible()) {
        topLevel->raise();
        topLevel->activateWindow();
    }
#endif
}
