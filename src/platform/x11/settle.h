// Waiting for the window manager to carry out a request: the window is read
// again on every event about it until it is as wanted and has stayed so for
// a moment, or it has been quiet for a while, or a limit has passed.
#pragma once

#include <functional>
#include <optional>

#include "window_state.h"

namespace pentrax::x11 {

using Done = std::function<bool(const WindowState&)>;

// Needs the events of the window and its frame selected (EventMaskGuard).
// `before` is the window as it was when the request was sent: a first
// reading that differs from it is already a change. `keep`: how long the
// window must then stay as wanted, in multiples of the time it took to
// become so (0: done at once). A window may take a size and set itself back
// at once: its answer passes through the window manager as the request
// did, so it comes after a similar time. A client that shows it has taken
// its new size (it rewrites its size hints, as terminals do) would have
// asked to be set back before that: then the window manager's time for such
// a request is enough. Returns the last reading; nullopt when the window is
// gone.
std::optional<WindowState> Settle(
    Connection& x, StateReader& reader, xcb_window_t w, xcb_window_t frame,
    const Done& done, const std::optional<WindowState>& before = std::nullopt,
    int keep = 0);

// The `keep` of a request that sizes a window (docs/performance.md).
inline constexpr int kKeepSize = 3;

}  // namespace pentrax::x11
