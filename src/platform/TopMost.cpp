#include "TopMost.h"

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
        if (QWindow *native = topLevel->windowHandle()) {
            // Tell the window system directly: QWidget::setWindowFlags would
            // recreate the window, hiding it and losing its place.
            const QPoint position = topLevel->pos();
            const QSize size = topLevel->size();
            topLevel->overrideWindowFlags(flags);
            native->setFlags(flags);
            if (topLevel->pos() != position)
                topLevel->move(position);
            if (topLevel->size() != size)
                topLevel->resize(size);
        } else {
            topLevel->setWindowFlags(flags); // not created yet: nothing to recreate
        }
    }
    if (topLevel->isVisible()) {
        topLevel->raise();
        topLevel->activateWindow();
    }
#endif
}
