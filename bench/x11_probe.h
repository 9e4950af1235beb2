// What the benchmark reads of the X11 backend, through the pieces of the
// backend it hands to an X11WindowManager: its X round trips, its wait for
// the window manager, and the same wait for a change another tool asked for.
#pragma once

#include <chrono>
#include <cstdint>

#include "backend.h"

namespace pentrax {

class X11Probe {
 public:
  explicit X11Probe(x11::Backend& backend) : b_(backend) {}

  // How many times the backend has waited for the X server's answer since
  // it connected: one per batch of requests.
  std::uint64_t roundTrips() const;
  // How long it has waited for the window manager to carry out requests.
  std::chrono::nanoseconds settleTime() const;
  // Waits, as a write does, until the window's rectangle (in placements'
  // coordinates, frame included) is the given one, or it has stopped
  // changing; true when it is the given one.
  bool WaitUntilPlaced(WindowHandle window, const Rect& normal);

 private:
  x11::Backend& b_;
};

}  // namespace pentrax
