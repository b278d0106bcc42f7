#include "dcLockKeys.h"

#include <QGuiApplication>

// Xlib's headers define macros (None, Bool, Status) that clash with Qt's:
// they come last, and only here.
#if defined(DC_HAVE_XKB) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#define DC_READ_X11_LOCKS 1
#endif

#ifdef DC_READ_X11_LOCKS
namespace {
// The keyboard's indicator of that name, looked up by name because servers
// number their indicators as their keymap says.
bool indicatorOn(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, False);
  Bool on = False;
  if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
  return on;
}
}  // namespace
#endif

std::optional<dcLockKeys_t> dcReadLockKeys() {
#ifdef DC_READ_X11_LOCKS
  auto* app = qGuiApp;
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  dcLockKeys_t keys;
  keys.caps = indicatorOn(display, "Caps Lock");
  keys.num = indicatorOn(display, "Num Lock");
  keys.scroll = indicatorOn(display, "Scroll Lock");
  return keys;
#else
  return std::nullopt;
#endif
}
