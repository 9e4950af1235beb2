// One reading of a client window: where it is, how it is dressed, its state
// and the desktop's work area, taken in a single batch of requests.
#pragma once

#include <optional>

#include "connection.h"
#include "geometry.h"
#include "wm_presence.h"

namespace pentrax::x11 {

struct WindowState {
  Rect client;  // the client window with its X border, root coordinates
  Decoration decoration;
  bool iconic = false;
  bool hidden = false;
  bool maxVert = false;
  bool maxHorz = false;
  bool fullscreen = false;
  // On another desktop than the one in view (_NET_WM_DESKTOP): window
  // managers mark such a window iconic in WM_STATE, which does not make it
  // minimised.
  bool elsewhere = false;
  Rect workArea;              // _NET_WORKAREA (or the screen), root coordinates
  std::optional<Rect> frame;  // the frame window, when one was asked for
  friend bool operator==(const WindowState&, const WindowState&) = default;

  Rect Outer() const { return OuterRect(client, decoration); }
  // The outer rectangle in the coordinates of placements: from the work
  // area's top-left corner.
  Rect Normal() const {
    const Rect o = Outer();
    return {o.left - workArea.left, o.top - workArea.top,
            o.right - workArea.left, o.bottom - workArea.top};
  }
  bool maximised() const { return maxVert && maxHorz; }
  bool minimised() const { return hidden || (iconic && !elsewhere); }
  // The frame window covers the client plus the frame extents: the window
  // manager has finished a change.
  bool FrameSettled() const {
    return !frame || *frame == FrameRect(client, decoration.frame);
  }
};

// _NET_WORKAREA at the current desktop and the root's size, asked together.
struct WorkAreaCookies {
  xcb_get_property_cookie_t workarea, desktop;
  xcb_get_geometry_cookie_t rootGeometry;
};
WorkAreaCookies AskWorkArea(Connection& x);
// The screen's rectangle, from the same batch.
struct WorkAreaReply {
  Rect workArea;  // _NET_WORKAREA, or the whole screen without one
  Rect screen;
  std::optional<std::uint32_t> desktop;  // _NET_CURRENT_DESKTOP
};
WorkAreaReply TakeWorkArea(Connection& x, const WorkAreaCookies& c,
                           bool wmPresent);

class StateReader {
 public:
  StateReader(Connection& x, const WmPresence& wm) : x_(x), wm_(wm) {}

  struct Cookies {
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t frameExtents, gtkExtents, icccmState, netState,
        desktop;
    WorkAreaCookies area;
    std::optional<xcb_get_geometry_cookie_t> frameGeometry;
  };
  // The requests of a reading, for a batch with others; `frame` also reads
  // the frame window's rectangle.
  Cookies Ask(xcb_window_t w, xcb_window_t frame = XCB_NONE);
  // nullopt when the window is gone.
  std::optional<WindowState> Take(const Cookies& c);
  // A reading in a round trip of its own.
  std::optional<WindowState> Read(xcb_window_t w,
                                  xcb_window_t frame = XCB_NONE);

 private:
  Connection& x_;
  const WmPresence& wm_;
};

}  // namespace pentrax::x11
