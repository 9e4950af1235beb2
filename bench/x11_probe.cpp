#include "x11_probe.h"

#include "settle.h"

namespace pentrax {

std::uint64_t X11Probe::roundTrips() const { return b_.x.stats.roundTrips; }

std::chrono::nanoseconds X11Probe::settleTime() const {
  return b_.x.stats.settleTime;
}

bool X11Probe::WaitUntilPlaced(WindowHandle window, const Rect& normal) {
  x11::Backend& b = b_;
  if (window <= 0 || !b.Begin()) {
    return false;
  }
  const auto w = static_cast<xcb_window_t>(window);
  const xcb_window_t frame = b.tree.FrameOf(w);
  if (frame == XCB_NONE) {
    return false;
  }
  const x11::EventMaskGuard watch(b.x, w, frame);
  const auto placed = [&normal](const x11::WindowState& s) {
    return s.FrameSettled() && s.Normal() == normal;
  };
  const auto state = x11::Settle(b.x, b.reader, w, frame, placed);
  return state && placed(*state);
}

}  // namespace pentrax
