#include "app/lock_keys.h"

#include <QGuiApplication>

#if defined(LUMICAST_HAVE_X11)
#include <QtGui/qguiapplication_platform.h>

// Xlib's macros (None, Bool, Status ...) clash with Qt names, so its headers come last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

#if defined(LUMICAST_HAVE_X11)
namespace {

bool IndicatorOn(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0) {
        return false;
    }
    int state = 0;
    if (XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr) == 0) {
        return false;
    }
    return state != 0;
}

} // namespace
#endif

std::optional<LockKeyStates> ReadLockKeyStates() {
#if defined(LUMICAST_HAVE_X11)
    auto* app = qGuiApp;
    if (app == nullptr) {
        return std::nullopt;
    }
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return std::nullopt;
    }
    Display* display = x11->display();
    LockKeyStates states;
    states.bCaps = IndicatorOn(display, "Caps Lock");
    states.bNum = IndicatorOn(display, "Num Lock");
    states.bScroll = IndicatorOn(display, "Scroll Lock");
    return states;
#else
    return std::nullopt;
#endif
}
