#include "dcQtWindowServices.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "CMainFrame.h"
#include "cp949.h"

namespace {

// The live top-level window behind a handle; nullptr for a stale or foreign one.
QWidget* liveWindow(winsvc::WindowHandle handle) {
  if (!handle) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w == handle) return w;
  return nullptr;
}

}  // namespace

bool dcQtWindowServices_t::setTimer(winsvc::WindowHandle window, std::uint32_t timerId,
                                    std::uint32_t intervalMs) {
  auto& timer = timers_[{window, timerId}];
  if (!timer) timer = std::make_unique<QTimer>();
  timer->start(static_cast<int>(std::min<std::uint32_t>(intervalMs, INT32_MAX)));
  return true;
}

bool dcQtWindowServices_t::killTimer(winsvc::WindowHandle window, std::uint32_t timerId) {
  return timers_.erase({window, timerId}) != 0;
}

winsvc::WindowHandle dcQtWindowServices_t::findWindow(const char* className, const char* title) {
  if (!title) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const QByteArray utf8 = w->windowTitle().toUtf8();
    if (mb::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))) != title)
      continue;
    if (className && std::strcmp(w->metaObject()->className(), className) != 0) continue;
    return w;
  }
  return nullptr;
}

std::intptr_t dcQtWindowServices_t::sendMessage(winsvc::WindowHandle window, std::uint32_t message,
                                                std::intptr_t firstParam, std::intptr_t) {
  QWidget* w = liveWindow(window);
  if (!w) return 0;
  if (message == winsvc::MESSAGE_CLOSE) {
    w->close();
  } else if (message == winsvc::MESSAGE_COMMAND) {
    // The low word of the first parameter is the command id.
    if (auto* frame = qobject_cast<CMainFrame*>(w)) frame->sendCommand(static_cast<int>(firstParam & 0xFFFF));
  }
  return 0;
}
