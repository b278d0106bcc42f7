// The window services the command engine uses, over the console's own
// top-level windows: a window is found by its title (CP949, byte for byte)
// and, when asked, its class name; a close message closes it and a command
// message runs the command id through the main frame's routing. Timers are
// kept per window and id; nothing acts on their ticks.
#pragma once

#include <QTimer>
#include <map>
#include <memory>
#include <utility>

#include "windowservices.h"

class dcQtWindowServices_t : public winsvc::WindowServices {
 public:
  bool setTimer(winsvc::WindowHandle window, std::uint32_t timerId, std::uint32_t intervalMs) override;
  bool killTimer(winsvc::WindowHandle window, std::uint32_t timerId) override;
  winsvc::WindowHandle findWindow(const char* className, const char* title) override;
  std::intptr_t sendMessage(winsvc::WindowHandle window, std::uint32_t message, std::intptr_t firstParam,
                            std::intptr_t secondParam) override;

 private:
  std::map<std::pair<winsvc::WindowHandle, std::uint32_t>, std::unique_ptr<QTimer>> timers_;
};
