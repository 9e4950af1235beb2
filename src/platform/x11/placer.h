// Giving a window a placement: out of maximised, fullscreen or minimised
// first, then the client request that gives it the outer rectangle, then the
// show state asked for; each step waits until the window manager has carried
// it out. Remembers the rectangles it gave, which no window manager
// publishes for a maximised or fullscreen window (placed_normals.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "placed_normals.h"
#include "settle.h"
#include "window_properties.h"
#include "window_tree.h"

namespace pentrax::x11 {

class Placer {
 public:
  Placer(Connection& x, WmPresence& wm, StateReader& reader, WindowTree& tree,
         WindowProperties& properties)
      : x_(x), wm_(wm), reader_(reader), tree_(tree), properties_(properties) {}

  // 1 when the window was placed (it may have taken less than asked: what
  // its size hints allow); 0 when it is gone or the connection is lost.
  int Place(xcb_window_t w, const WindowPlacement& placement);

  // The outer rectangles (root coordinates) this backend gave windows.
  PlacedNormals& normals() { return normals_; }

  // Forgets the windows that are gone: one, or all but those listed.
  void Forget(xcb_window_t w);
  void KeepOnly(const std::vector<xcb_window_t>& alive);

 private:
  void SendState(xcb_window_t w, xcb_ewmh_wm_state_action_t action,
                 xcb_atom_t first, xcb_atom_t second = XCB_ATOM_NONE);
  void SendIconify(xcb_window_t w);
  void RequestGeometry(xcb_window_t w, const ClientRequest& r);
  std::optional<WindowState> Resize(xcb_window_t w, xcb_window_t frame,
                                    std::optional<WindowState> state,
                                    const Rect& normal,
                                    const std::optional<SizeHints>& hints);

  Connection& x_;
  WmPresence& wm_;
  StateReader& reader_;
  WindowTree& tree_;
  WindowProperties& properties_;
  PlacedNormals normals_;
};

}  // namespace pentrax::x11
