#include "platform/system/KeyState.h"

#include <QGuiApplication>
#include <QKeyEvent>

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <dlfcn.h>
#endif

namespace {

struct LockStates
{
    bool caps = false;
    bool num = false;
};

#if !defined(Q_OS_WIN) && QT_CONFIG(xcb)
// XkbGetIndicatorState from libX11, looked up at run time so that the program
// does not depend on X11 where it does not run on it.
using GetIndicatorState = int (*)(Display *, unsigned int, unsigned int *);
constexpr unsigned int XkbUseCoreKbd = 0x0100;

GetIndicatorState indicatorStateFunction()
{
    static const GetIndicatorState function = []() -> GetIndicatorState {
        void *library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (!library)
            return nullptr;
        return reinterpret_cast<GetIndicatorState>(dlsym(library, "XkbGetIndicatorState"));
    }();
    return function;
}
#endif

// The lock keys as the platform tells them; both off where it tells nothing.
LockStates readLockStates()
{
    LockStates states;
#if defined(Q_OS_WIN)
    states.caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    states.num = (GetKeyState(VK_NUMLOCK) & 1) != 0;
#elif QT_CONFIG(xcb)
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    const GetIndicatorState getIndicatorState = display ? indicatorStateFunction() : nullptr;
    unsigned int indicators = 0;
    if (getIndicatorState && getIndicatorState(display, XkbUseCoreKbd, &indicators) == 0) {
        states.caps = (indicators & 0x1) != 0;
        states.num = (indicators & 0x2) != 0;
    }
#endif
    return states;
}

} // namespace

KeyState &KeyState::instance()
{
    static KeyState state;
    return state;
}

KeyState::KeyState()
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        app->installEventFilter(this);
    const LockStates states = readLockStates();
    m_caps = states.caps;
    m_num = states.num;
}

void KeyState::setInsertToggled(bool on)
{
    if (m_insert == on)
        return;
    m_insert = on;
    emit changed();
}

void KeyState::refresh()
{
    const LockStates states = readLockStates();
    if (states.caps == m_caps && states.num == m_num)
        return;
    m_caps = states.caps;
    m_num = states.num;
    emit changed();
}

bool KeyState::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Input from the keyboard reaches the window first and is then passed
        // on to widgets; reading the keyboard once per key is enough.
        if (watched->isWindowType())
            refresh();
        break;
    case QEvent::ApplicationStateChange:
        // The lock keys may have changed while another program had the focus.
        if (static_cast<QApplicationStateChangeEvent *>(event)->applicationState()
            == Qt::ApplicationActive)
            refresh();
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
