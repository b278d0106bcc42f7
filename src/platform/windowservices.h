// The window services the command engine uses: timers on a window, finding
// a top-level window by class and title, sending it a message and waiting
// for the answer. The console's user interface implements them over its own
// top-level windows; without a user interface the headless implementation
// answers: it finds no windows, and its timers start and stop but never tick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

namespace winsvc {

// An opaque window: whatever the implementation hands out; nullptr is none.
using WindowHandle = void*;

// Message numbers the console's scripts use.
constexpr std::uint32_t MESSAGE_CLOSE = 16;     // close the window
constexpr std::uint32_t MESSAGE_COMMAND = 273;  // run a menu command (first parameter: its id)

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Starts a periodic timer with the caller's id on window (replacing one
  // with the same id). False on failure, errno set.
  virtual bool setTimer(WindowHandle window, std::uint32_t timerId, std::uint32_t intervalMs) = 0;
  // Stops it. False when no such timer runs.
  virtual bool killTimer(WindowHandle window, std::uint32_t timerId) = 0;
  // The first top-level window whose title equals title byte for byte and,
  // unless className is null, whose class name equals className. Texts are
  // CP949. nullptr when none fits or title is null.
  virtual WindowHandle findWindow(const char* className, const char* title) = 0;
  // Delivers the message to window, waits until it is handled and returns
  // the window's answer (0 when there is no such window).
  virtual std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::intptr_t firstParam,
                                    std::intptr_t secondParam) = 0;
};

// No windows: nothing is found, messages are answered with 0, and timers are
// only kept in a table so that starting and stopping them behaves as on a
// window.
class HeadlessWindowServices : public WindowServices {
 public:
  bool setTimer(WindowHandle window, std::uint32_t timerId, std::uint32_t intervalMs) override;
  bool killTimer(WindowHandle window, std::uint32_t timerId) override;
  WindowHandle findWindow(const char* className, const char* title) override;
  std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::intptr_t firstParam,
                            std::intptr_t secondParam) override;

  // The number of timers started and not yet stopped.
  std::size_t activeTimers() const;

 private:
  std::map<std::pair<WindowHandle, std::uint32_t>, std::uint32_t> timers_;
};

// The services in use: the headless ones until somebody installs others.
WindowServices& current();
// Installs services (nullptr: the headless ones again) and returns the ones
// installed before. The caller keeps ownership and must reinstall the
// previous services before destroying its own.
WindowServices* setCurrent(WindowServices* services);

// Installs services for the lifetime of the object (tests, the UI's main).
class ScopedServices {
 public:
  explicit ScopedServices(WindowServices* services) : previous_(setCurrent(services)) {}
  ~ScopedServices() { setCurrent(previous_); }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  WindowServices* previous_;
};

}  // namespace winsvc
