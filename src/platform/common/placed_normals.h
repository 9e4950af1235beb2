// No desktop tells where a maximised, full-screen or tiled window returns to
// when it leaves that state. The backends that cannot read it remember the
// normal rectangle they placed each window at, and report it as the window's
// normal rectangle while the window is in such a state, so that a sizing and a
// restore of such a window come back to where it was. The rule is the same
// for every backend: remembered at every placement, and kept up to date
// whenever the window is seen in its normal state; reported while the
// window is maximised, full screen or tiled and still the window it was
// placed for (its identity); forgotten when another window has its handle
// or it is gone. Through the placement detail (WindowManager::
// PlacementDetail) a later Pentrax process knows the rectangle too.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

  // The window's remembered rectangle as a part of a placement detail
  // ("n LEFT TOP RIGHT BOTTOM"); empty when none is remembered.
  std::string Detail(WindowHandle window) const;
  // Takes back the part that Detail gave (in any process), for the window
  // with this identity; a detail without a sound one changes nothing.
  void Take(WindowHandle window, std::string identity, std::string_view detail);

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

// The placement details the backends give are parts separated by ";", each
// a letter that names it and then its words, separated by blanks:
// "n 60 80 700 560;t Left". The words of the part with that name; nullopt
// when there is none or it has not `count` words.
std::optional<std::vector<std::string_view>> DetailPart(std::string_view detail,
                                                        char name,
                                                        std::size_t count);
// The same part's words read as whole numbers of 32 bits.
std::optional<std::vector<std::int32_t>> DetailNumbers(std::string_view detail,
                                                       char name,
                                                       std::size_t count);

}  // namespace pentrax
