// KWin names its windows with UUIDs; Pentrax's window handles are small
// positive numbers. The map gives each UUID it meets the next number and keeps
// it for as long as the map lives, so a handle never changes its window.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "window_manager.h"

namespace pentrax {

class HandleMap {
 public:
  // The handle of the window with this UUID, given out on first sight.
  WindowHandle HandleOf(const std::string& uuid);
  // The UUID behind a handle; nullopt for a handle never given out.
  std::optional<std::string> UuidOf(WindowHandle handle) const;

 private:
  std::unordered_map<std::string, WindowHandle> handles_;
  std::vector<std::string> uuids_;  // uuids_[handle - 1]
};

}  // namespace pentrax
