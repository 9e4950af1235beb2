// KWin names its windows with UUIDs; Pentrax's window handles are positive
// 31-bit numbers. A window's handle is a hash of its UUID, so that every
// Pentrax process of the session gives it the same number (the command line's
// --window N, the placements they share). Two windows whose UUIDs hash alike
// (about one chance in 400 000 for a session with a hundred windows)
// would share a number: the map keeps the one it met first.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

#include "window_manager.h"

namespace pentrax {

// The handle of the window with this UUID, the same in every process; never
// 0 or negative.
WindowHandle HandleOfUuid(const std::string& uuid);

class HandleMap {
 public:
  // The window's handle, noted so that UuidOf finds it.
  WindowHandle HandleOf(const std::string& uuid);
  // The UUID behind a handle; nullopt for a window this map has not met.
  std::optional<std::string> UuidOf(WindowHandle handle) const;

 private:
  std::unordered_map<WindowHandle, std::string> uuids_;
};

}  // namespace pentrax
