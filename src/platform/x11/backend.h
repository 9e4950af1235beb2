// The pieces of the X11 backend, wired together over one connection.
#pragma once

#include <memory>

#include "connection.h"
#include "foreground.h"
#include "placer.h"
#include "window_properties.h"
#include "window_state.h"
#include "window_tree.h"
#include "wm_presence.h"
#include "work_area.h"

namespace pentrax::x11 {

struct Backend {
  explicit Backend(std::unique_ptr<Connection> connection)
      : owned(std::move(connection)), x(*owned) {}

  // The start of every operation: false when the connection is lost;
  // otherwise takes in what has queued up since the last one.
  bool Begin() {
    if (!x.Alive()) {
      return false;
    }
    x.DrainEvents();
    return true;
  }

  std::unique_ptr<Connection> owned;
  Connection& x;
  WmPresence wm{x};
  StateReader reader{x, wm};
  WindowTree tree{x};
  WindowProperties properties{x};
  Placer placer{x, wm, reader, tree, properties};
  MonitorAreas areas{x, wm, reader};
  ForegroundPicker picker{x, wm, tree};
};

}  // namespace pentrax::x11
