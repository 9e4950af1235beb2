// Where a client window sits among the X server's windows: the frame a
// reparenting window manager put around it, the client inside a frame, and
// the client that holds the input focus.
#pragma once

#include <map>
#include <vector>

#include "connection.h"

namespace pentrax::x11 {

class WindowTree {
 public:
  explicit WindowTree(Connection& x) : x_(x) {}

  // The root's child that holds the window: its frame under a reparenting
  // window manager, the window itself otherwise; XCB_NONE when it is gone.
  xcb_window_t FrameOf(xcb_window_t w);
  // The same, known without a walk while the window keeps `parent` (read
  // by the caller in a batch of its own).
  xcb_window_t FrameOf(xcb_window_t w, xcb_window_t parent);
  // The client window at or below w: the first one carrying WM_STATE.
  xcb_window_t ClientBelow(xcb_window_t w, int depth = 0);
  // The top-level client window that holds the input focus, for window
  // managers that publish no _NET_ACTIVE_WINDOW.
  xcb_window_t FocusedClient();
  // Forgets the frames of windows that are gone: one, or all but those
  // listed.
  void Forget(xcb_window_t w) { frames_.erase(w); }
  void KeepOnly(const std::vector<xcb_window_t>& alive);

 private:
  xcb_window_t Parent(xcb_window_t w);
  bool HasWmState(xcb_window_t w);

  Connection& x_;
  struct FrameLink {
    xcb_window_t parent;
    xcb_window_t frame;
  };
  std::map<xcb_window_t, FrameLink> frames_;
};

}  // namespace pentrax::x11
