// No desktop tells where a maximised, full-screen or tiled window returns to
// when it leaves that state. The backends that cannot read it remember the
// normal rectangle they placed each window at, and report it as the window's
// normal rectangle while the window is in such a state, so that a sizing and a
// restore of such a window come back to where it was. The rule is the same
// for every backend: remembered at every placement, and kept up to date
// whenever the window is seen in its normal state; reported while the
// window is maximised, full screen or tiled and still the window it was
// placed for (its identity); forgotten when another window has its handle
// or it is gone.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "window_manager.h"

namespace pentrax {

class PlacedNormals {
 public:
  // The window was placed with this normal rectangle (in the backend's
  // coordinates).
  void Placed(WindowHandle window, std::string identity, const Rect& normal);

  // Whether a rectangle is remembered for the handle (reading the identity,
  // which may cost a request, is needed only then).
  bool Remembers(WindowHandle window) const { return placed_.contains(window); }

  // The normal rectangle to report for the window, read in show state
  // `showCmd` with the rectangle `now`.
  Rect NormalOf(WindowHandle window, const std::string& identity,
                std::int32_t showCmd, const Rect& now);

  void Forget(WindowHandle window) { placed_.erase(window); }
  // Forgets every window for which `alive` says false.
  void KeepOnly(const std::function<bool(WindowHandle)>& alive) {
    std::erase_if(placed_, [&](const auto& e) { return !alive(e.first); });
  }

 private:
  struct Entry {
    std::string identity;
    Rect normal;
  };
  std::map<WindowHandle, Entry> placed_;
};

}  // namespace pentrax
