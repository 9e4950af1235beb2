// The work area of the monitor a window is on: the RandR monitors, the
// struts of the windows that reserve screen edges (docks, panels) and
// _NET_WORKAREA, read from the X server and put together by MonitorWorkArea.
#pragma once

#include <optional>

#include "window_state.h"

namespace pentrax::x11 {

class MonitorAreas {
 public:
  MonitorAreas(Connection& x, WmPresence& wm, StateReader& reader)
      : x_(x), wm_(wm), reader_(reader) {}

  struct Result {
    Rect area;         // the monitor's work area, root coordinates
    Rect netWorkArea;  // _NET_WORKAREA (the origin of placements)
    Rect monitor;      // the whole monitor, root coordinates
  };
  // For the monitor that holds the larger part of the window; for window
  // XCB_NONE, or one on no monitor, the primary monitor. nullopt when the
  // work area cannot be read.
  std::optional<Result> For(xcb_window_t w);

 private:
  std::vector<Strut> Struts(const std::vector<std::uint32_t>& clients,
                            const Rect& screen);

  Connection& x_;
  WmPresence& wm_;
  StateReader& reader_;
};

}  // namespace pentrax::x11
