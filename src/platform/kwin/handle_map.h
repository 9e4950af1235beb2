// KWin names its windows with UUIDs; Pentrax's window handles are positive
// 31-bit numbers. A window's handle is a hash of its UUID, so that every
// Pentrax process of the session gives it the same number (the command line's
// --window N, the placements they share). Two windows whose UUIDs hash alike
// (about one chance in 400 000 for a session with a hundred windows) share a
// number, which then stands for neither: whichever a process met first, an
// action meant for one could reach the other. A process tells a number that
// two windows share only from what it has met, so the backend looks at all
// of KWin's windows whenever it meets one that is new to it.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "window_manager.h"

namespace pentrax {

// The handle of the window with this UUID, the same in every process; never
// 0 or negative.
WindowHandle HandleOfUuid(const std::string& uuid);

class HandleMap {
 public:
  // Notes a window, so that UuidOf finds it unless another shares its
  // handle; returns the handle.
  WindowHandle Note(const std::string& uuid);
  // Notes every window KWin has now, forgetting the others (they are gone).
  void NoteAll(const std::vector<std::string>& uuids);
  bool Knows(const std::string& uuid) const;
  // The UUID behind a handle; nullopt for a window this map has not met and
  // for a handle that two windows it has met share.
  std::optional<std::string> UuidOf(WindowHandle handle) const;
  bool Shared(WindowHandle handle) const;

 private:
  std::unordered_map<WindowHandle, std::vector<std::string>> uuids_;
};

}  // namespace pentrax
