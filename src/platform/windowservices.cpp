#include "windowservices.h"

#include <atomic>

namespace winsvc {

bool HeadlessWindowServices::setTimer(WindowHandle window, std::uint32_t timerId, std::uint32_t intervalMs) {
  timers_[{window, timerId}] = intervalMs;
  return true;
}

bool HeadlessWindowServices::killTimer(WindowHandle window, std::uint32_t timerId) {
  return timers_.erase({window, timerId}) > 0;
}

WindowHandle HeadlessWindowServices::findWindow(const char*, const char*) { return nullptr; }

std::intptr_t HeadlessWindowServices::sendMessage(WindowHandle, std::uint32_t, std::intptr_t, std::intptr_t) {
  return 0;
}

std::size_t HeadlessWindowServices::activeTimers() const { return timers_.size(); }

namespace {

HeadlessWindowServices& headless() {
  static HeadlessWindowServices services;
  return services;
}

std::atomic<WindowServices*> installed{nullptr};

}  // namespace

WindowServices& current() {
  WindowServices* services = installed.load();
  return services ? *services : headless();
}

WindowServices* setCurrent(WindowServices* services) {
  WindowServices* previous = installed.exchange(services);
  return previous;
}

}  // namespace winsvc
