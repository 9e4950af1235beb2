// Waiting until a window has carried out a placement, by reading it again and
// again, each time a little later: for desktops that send no event when a
// window has taken its new size (sway, KWin through its scripts). A window
// may take another size than it was asked for (a terminal keeps to whole
// character cells, a window keeps to its own limits), and it answers when it
// next draws: the wait ends when the window has what was wanted, or when it
// has stopped changing.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "window_manager.h"

namespace pentrax {

struct SettleTiming {
  using us = std::chrono::microseconds;
  // No change this long after the request: the window took it, or will not.
  us quietWithoutChange{3000};
  // The same after a request that also changed the window's state, which
  // clients answer later.
  us quietAfterStateChange{40000};
  // Unchanged this long after a change: the window has answered.
  us quietAfterChange{2000};
  // The longest wait, whatever happens.
  us limit{300000};
  // Between two readings: at first, and at most (the pause doubles).
  us interval{500};
  us longestInterval{4000};
};

// `read` gives the window's rectangle now (nullopt: the window is gone);
// `before` is what it was when the request was made, `wanted` what ends the
// wait at once (nullopt: nothing does; the desktop shows the rectangle asked
// for before the window has answered). Returns the last reading; nullopt
// when the window is gone.
std::optional<Rect> PollUntilSettled(
    const std::function<std::optional<Rect>()>& read, const Rect& before,
    const std::optional<Rect>& wanted, bool stateChanged,
    const SettleTiming& timing);

}  // namespace pentrax
