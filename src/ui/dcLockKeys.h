// Caps lock, num lock and scroll lock as the windowing system reports them,
// for the status bar's indicators. Only X11 can tell; elsewhere (offscreen,
// Wayland) the state is unknown and the indicators stay blank.
#pragma once

#include <optional>

struct dcLockKeys_t {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// The lock keys now, or nothing when the platform cannot tell.
std::optional<dcLockKeys_t> dcReadLockKeys();
