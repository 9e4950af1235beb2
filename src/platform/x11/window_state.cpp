#include "window_state.h"

namespace pentrax::x11 {
namespace {

constexpr std::uint32_t kWmStateIconic = 3;  // ICCCM WM_STATE IconicState

}  // namespace

WorkAreaCookies AskWorkArea(Connection& x) {
  return {x.Property(x.root, x.ewmh._NET_WORKAREA, XCB_ATOM_CARDINAL, 256),
          x.Property(x.root, x.ewmh._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1),
          xcb_get_geometry(x.conn, x.root)};
}

WorkAreaReply TakeWorkArea(Connection& x, const WorkAreaCookies& c,
                           bool wmPresent) {
  auto workarea = x.TakeProperty(c.workarea);
  auto desktop = x.TakeProperty(c.desktop);
  auto geometry =
      x.Take<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, c.rootGeometry);
  WorkAreaReply r;
  if (geometry) {
    r.screen = {0, 0, geometry->width, geometry->height};
  }
  // Without a window manager _NET_WORKAREA is stale: the whole screen.
  const auto current = Cardinals(desktop.get());
  const auto entry = wmPresent
                         ? WorkAreaEntry(Cardinals(workarea.get()), current)
                         : std::nullopt;
  if (wmPresent && !current.empty()) {
    r.desktop = current[0];
  }
  r.workArea = entry.value_or(r.screen);
  return r;
}

StateReader::Cookies StateReader::Ask(xcb_window_t w, xcb_window_t frame) {
  Cookies c{xcb_get_geometry(x_.conn, w),
            xcb_translate_coordinates(x_.conn, w, x_.root, 0, 0),
            x_.Property(w, x_.ewmh._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4),
            x_.Property(w, x_.gtkFrameExtents, XCB_ATOM_CARDINAL, 4),
            x_.Property(w, x_.wmState, x_.wmState, 2),
            x_.Property(w, x_.ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 64),
            x_.Property(w, x_.ewmh._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1),
            AskWorkArea(x_),
            std::nullopt};
  if (frame != XCB_NONE && frame != w) {
    c.frameGeometry = xcb_get_geometry(x_.conn, frame);
  }
  return c;
}

std::optional<WindowState> StateReader::Take(const Cookies& c) {
  bool failed = false;
  auto g = x_.Take<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, c.geometry,
                                             &failed);
  auto o = x_.Take<xcb_translate_coordinates_reply_t>(
      xcb_translate_coordinates_reply, c.origin, &failed);
  auto fe = x_.TakeProperty(c.frameExtents, &failed);
  auto ge = x_.TakeProperty(c.gtkExtents, &failed);
  auto is = x_.TakeProperty(c.icccmState, &failed);
  auto ns = x_.TakeProperty(c.netState, &failed);
  const auto desktop = Cardinals(x_.TakeProperty(c.desktop, &failed).get());
  WindowState s;
  const WorkAreaReply area = TakeWorkArea(x_, c.area, wm_.present());
  s.workArea = area.workArea;
  constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
  s.elsewhere = area.desktop && !desktop.empty() &&
                desktop[0] != kAllDesktops && desktop[0] != *area.desktop;
  if (c.frameGeometry) {
    // A frame that is gone is no frame, not a window that is gone: window
    // managers such as metacity take a window out of its frame when it goes
    // full screen, and give it a new one when it leaves that state.
    auto fg = x_.Take<xcb_get_geometry_reply_t>(xcb_get_geometry_reply,
                                                *c.frameGeometry);
    if (fg) {
      s.frame = Rect{fg->x, fg->y, fg->x + fg->width + 2 * fg->border_width,
                     fg->y + fg->height + 2 * fg->border_width};
    }
  }
  if (failed || !g || !o) {
    return std::nullopt;
  }
  const std::int32_t border = g->border_width;
  const std::int32_t left = o->dst_x - border;
  const std::int32_t top = o->dst_y - border;
  s.client = {left, top, left + g->width + 2 * border,
              top + g->height + 2 * border};
  s.decoration.borderWidth = border;
  // Without a window manager, frame extents left on the window are stale.
  s.decoration.frame =
      wm_.present() ? ExtentsFrom(Cardinals(fe.get())) : Extents{};
  s.decoration.gtk = ExtentsFrom(Cardinals(ge.get()));
  const auto icccm = Cardinals(is.get());
  s.iconic = !icccm.empty() && icccm[0] == kWmStateIconic;
  const xcb_ewmh_connection_t& e = x_.ewmh;
  for (std::uint32_t atom : Cardinals(ns.get())) {
    s.hidden |= atom == e._NET_WM_STATE_HIDDEN;
    s.maxVert |= atom == e._NET_WM_STATE_MAXIMIZED_VERT;
    s.maxHorz |= atom == e._NET_WM_STATE_MAXIMIZED_HORZ;
    s.fullscreen |= atom == e._NET_WM_STATE_FULLSCREEN;
  }
  return s;
}

std::optional<WindowState> StateReader::Read(xcb_window_t w,
                                             xcb_window_t frame) {
  if (!x_.Alive()) {
    return std::nullopt;
  }
  const Cookies c = Ask(w, frame);
  x_.RoundTrip();
  return Take(c);
}

}  // namespace pentrax::x11
