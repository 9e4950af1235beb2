#include "placer.h"

#include <xcb/xcb_icccm.h>

#include <algorithm>

namespace pentrax::x11 {
namespace {

constexpr std::uint32_t kWmStateIconic = 3;  // ICCCM IconicState

SizeHints FromIcccm(const xcb_size_hints_t& h) {
  SizeHints s;
  s.hasMin = (h.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE) != 0;
  s.hasMax = (h.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE) != 0;
  s.hasBase = (h.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE) != 0;
  s.hasInc = (h.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) != 0;
  s.minWidth = h.min_width, s.minHeight = h.min_height;
  s.maxWidth = h.max_width, s.maxHeight = h.max_height;
  s.baseWidth = h.base_width, s.baseHeight = h.base_height;
  s.widthInc = h.width_inc, s.heightInc = h.height_inc;
  return s;
}

}  // namespace

void Placer::SendState(xcb_window_t w, xcb_ewmh_wm_state_action_t action,
                       xcb_atom_t first, xcb_atom_t second) {
  xcb_ewmh_request_change_wm_state(&x_.ewmh, x_.screenNumber, w, action, first,
                                   second, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
}

void Placer::SendIconify(xcb_window_t w) {
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = w;
  ev.type = x_.wmChangeState;
  ev.data.data32[0] = kWmStateIconic;
  xcb_send_event(
      x_.conn, 0, x_.root,
      XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
      reinterpret_cast<const char*>(&ev));
}

// Through the window manager, or directly when there is none.
void Placer::RequestGeometry(xcb_window_t w, const ClientRequest& r) {
  const auto ux = static_cast<std::uint32_t>(r.x);
  const auto uy = static_cast<std::uint32_t>(r.y);
  const auto uw = static_cast<std::uint32_t>(r.width);
  const auto uh = static_cast<std::uint32_t>(r.height);
  if (!wm_.present()) {
    const std::uint32_t values[] = {ux, uy, uw, uh};
    xcb_configure_window(x_.conn, w,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
  } else {
    xcb_ewmh_request_moveresize_window(
        &x_.ewmh, x_.screenNumber, w, XCB_GRAVITY_NORTH_WEST,
        XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
        static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(
            XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y |
            XCB_EWMH_MOVERESIZE_WINDOW_WIDTH |
            XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT),
        ux, uy, uw, uh);
  }
  xcb_flush(x_.conn);
}

// The extents may change with the state (a maximised window loses its
// borders) and reach us only after it: asks again with the new ones.
std::optional<WindowState> Placer::Resize(
    xcb_window_t w, xcb_window_t frame, std::optional<WindowState> state,
    const Rect& normal, const std::optional<SizeHints>& hints) {
  for (int attempt = 0; attempt < 3 && state; ++attempt) {
    const Rect outer{normal.left + state->workArea.left,
                     normal.top + state->workArea.top,
                     normal.right + state->workArea.left,
                     normal.bottom + state->workArea.top};
    const ClientRequest request = RequestFor(outer, state->decoration);
    RequestGeometry(w, request);
    // What the window's size hints let it take instead: done as soon as it
    // has that, not only after a quiet spell.
    Rect allowed = outer;
    if (hints) {
      const ClientSize a = AllowedSize(*hints, {request.width, request.height});
      allowed.right += a.width - request.width;
      allowed.bottom += a.height - request.height;
    }
    const WindowState before = *state;
    state = Settle(
        x_, reader_, w, frame,
        [&outer, &allowed](const WindowState& s) {
          return s.FrameSettled() &&
                 (s.Outer() == outer || s.Outer() == allowed);
        },
        before, kKeepSize);
    if (!state || (state->decoration.frame == before.decoration.frame &&
                   state->decoration.gtk == before.decoration.gtk)) {
      break;
    }
  }
  return state;
}

int Placer::Place(xcb_window_t w, const WindowPlacement& placement) {
  const bool managed = wm_.Check();
  // The first reading also brings the window's parent, identity and size
  // hints: one round trip.
  const auto treeCookie = xcb_query_tree(x_.conn, w);
  const auto identityCookies = properties_.AskIdentity(w);
  const auto hintsCookie = xcb_icccm_get_wm_normal_hints(x_.conn, w);
  const auto stateCookies = reader_.Ask(w);
  x_.RoundTrip();
  auto tree = x_.Take<xcb_query_tree_reply_t>(xcb_query_tree_reply, treeCookie);
  const std::string identity = properties_.TakeIdentity(identityCookies);
  std::optional<SizeHints> hints;
  if (xcb_size_hints_t h{}; xcb_icccm_get_wm_normal_hints_reply(
                                x_.conn, hintsCookie, &h, nullptr) != 0) {
    hints = FromIcccm(h);
  }
  auto state = reader_.Take(stateCookies);
  const xcb_window_t frame =
      tree && state ? tree_.FrameOf(w, tree->parent) : xcb_window_t{XCB_NONE};
  if (frame == XCB_NONE) {
    Forget(w);
    return 0;
  }
  const EventMaskGuard watch(x_, w, frame);
  const xcb_ewmh_connection_t& e = x_.ewmh;

  // A maximised, fullscreen or minimised window ignores moves: bring it back
  // to its normal state first, then read its (possibly new) frame extents.
  // Without a window manager its state hints are stale, and nothing would
  // act on a state request.
  const bool maximised = state->maxVert || state->maxHorz;
  const bool minimised = state->minimised();
  if (managed && maximised) {
    SendState(w, XCB_EWMH_WM_STATE_REMOVE, e._NET_WM_STATE_MAXIMIZED_VERT,
              e._NET_WM_STATE_MAXIMIZED_HORZ);
  }
  if (managed && state->fullscreen) {
    SendState(w, XCB_EWMH_WM_STATE_REMOVE, e._NET_WM_STATE_FULLSCREEN);
  }
  if (managed && minimised) {
    xcb_ewmh_request_change_active_window(&x_.ewmh, x_.screenNumber, w,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          XCB_CURRENT_TIME, XCB_NONE);
  }
  if (managed && (maximised || minimised || state->fullscreen)) {
    xcb_flush(x_.conn);
    // Wait for quiet, not just for the new state: the window manager
    // redraws the frame (and publishes its extents) after the state change.
    state = Settle(
        x_, reader_, w, frame, [](const WindowState&) { return false; }, state);
  }

  state = Resize(w, frame, state, placement.rcNormalPosition, hints);

  if (state && managed) {
    normals_.Placed(static_cast<WindowHandle>(w), identity, state->Outer());
    Done done;
    if (placement.showCmd == kShowMaximized) {
      SendState(w, XCB_EWMH_WM_STATE_ADD, e._NET_WM_STATE_MAXIMIZED_VERT,
                e._NET_WM_STATE_MAXIMIZED_HORZ);
      done = [](const WindowState& s) {
        return s.maximised() && s.FrameSettled();
      };
    } else if (placement.showCmd == kShowFullscreen) {
      SendState(w, XCB_EWMH_WM_STATE_ADD, e._NET_WM_STATE_FULLSCREEN);
      done = [](const WindowState& s) {
        return s.fullscreen && s.FrameSettled();
      };
    } else if (placement.showCmd == kShowMinimized) {
      SendIconify(w);
      done = [](const WindowState& s) {
        return s.minimised() && s.FrameSettled();
      };
    }
    if (done) {
      xcb_flush(x_.conn);
      state = Settle(x_, reader_, w, frame, done, state);
    }
  }
  if (!state) {
    Forget(w);
  }
  return state && x_.Alive() ? 1 : 0;
}

void Placer::Forget(xcb_window_t w) {
  normals_.Forget(static_cast<WindowHandle>(w));
  tree_.Forget(w);
}

void Placer::KeepOnly(const std::vector<xcb_window_t>& alive) {
  normals_.KeepOnly([&alive](WindowHandle w) {
    return std::find(alive.begin(), alive.end(),
                     static_cast<xcb_window_t>(w)) != alive.end();
  });
  tree_.KeepOnly(alive);
}

}  // namespace pentrax::x11
