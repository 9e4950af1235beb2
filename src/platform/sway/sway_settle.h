// The wait after a window has been given a floating rectangle. sway's tree
// shows the rectangle asked for at once; a client that takes another size (a
// terminal that keeps to whole character cells, a window with a minimum
// size) answers with that size a little later, and the tree follows. Nothing
// tells that a client took the size asked for: the wait ends when the tree
// has shown no change for a short time after the request, or has stopped
// changing after a change. A client that also leaves a tiled or full-screen
// state takes longer to answer (Qt: about 4 ms against 0.5 ms for a plain
// resize, on an idle machine), so the wait is longer then.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "window_manager.h"

namespace pentrax {

struct SwaySettleTiming {
  // No change this long after the request: the client took the size.
  std::chrono::microseconds quietWithoutChange{3000};
  // The same after a request that also changed the window's state.
  std::chrono::microseconds quietAfterStateChange{40000};
  // Unchanged this long after a change: the client has answered.
  std::chrono::microseconds quietAfterChange{2000};
  // The longest wait, whatever happens.
  std::chrono::microseconds limit{300000};
  // Between two readings: at first, and at most (the pause doubles).
  std::chrono::microseconds interval{500};
  std::chrono::microseconds longestInterval{4000};
};

// Reads the window's outer rectangle (nullopt: it is gone) until it has
// settled as described above; returns the last reading.
std::optional<Rect> WaitUntilSettled(
    const std::function<std::optional<Rect>()>& read, const Rect& asked,
    bool stateChanged, const SwaySettleTiming& timing);

}  // namespace pentrax
