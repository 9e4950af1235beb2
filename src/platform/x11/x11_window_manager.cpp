#include "x11_window_manager.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace pentrax {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long a write may take the window manager, and how long a window must
// stay unchanged to count as settled when it never reaches what was asked.
constexpr milliseconds kSettleLimit{1000};
constexpr milliseconds kQuietAfterChange{50};
constexpr milliseconds kQuietWithoutChange{250};

constexpr std::uint32_t kWmStateIconic = 3;  // ICCCM WM_STATE IconicState

// Frees xcb replies and errors, which come from malloc.
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XPtr = std::unique_ptr<T, FreeDeleter>;

struct Extents {
  std::int32_t left = 0, right = 0, top = 0, bottom = 0;
  friend bool operator==(const Extents&, const Extents&) = default;
};

// One reading of a client window, taken in a single batch of requests.
struct WindowState {
  Rect client;  // client window with its X border, root coordinates
  Extents frameExtents;
  Extents gtkExtents;
  std::int32_t borderWidth = 0;
  bool iconic = false;
  bool hidden = false;
  bool maxVert = false;
  bool maxHorz = false;
  Rect workArea;              // root coordinates
  std::optional<Rect> frame;  // the frame window, when one was asked for
  friend bool operator==(const WindowState&, const WindowState&) = default;

  // The outer rectangle, frame included, in root coordinates.
  Rect Outer() const {
    return {client.left - frameExtents.left + gtkExtents.left,
            client.top - frameExtents.top + gtkExtents.top,
            client.right + frameExtents.right - gtkExtents.right,
            client.bottom + frameExtents.bottom - gtkExtents.bottom};
  }
  bool maximised() const { return maxVert && maxHorz; }
  // The frame window covers the client plus the frame extents: the window
  // manager has finished a change.
  bool FrameSettled() const {
    if (!frame) {
      return true;
    }
    const Rect expect{
        client.left - frameExtents.left, client.top - frameExtents.top,
        client.right + frameExtents.right, client.bottom + frameExtents.bottom};
    return *frame == expect;
  }
};

Rect Offset(const Rect& r, std::int32_t dx, std::int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Appends the UTF-8 form of Latin-1 text.
std::string Latin1ToUtf8(const char* data, std::size_t length) {
  std::string out;
  out.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// The longest prefix of at most limit bytes that ends on a UTF-8 character
// boundary.
std::size_t Utf8Cut(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) {
    return text.size();
  }
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  return cut;
}

// The client size that ICCCM size hints allow for the asked one: within the
// minimum and maximum, and a whole number of increments above the base size
// (rounded down, as window managers do).
std::pair<std::int32_t, std::int32_t> AllowedSize(const xcb_size_hints_t& h,
                                                  std::int32_t width,
                                                  std::int32_t height) {
  const bool hasMin = (h.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE) != 0;
  const bool hasBase = (h.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE) != 0;
  const std::int32_t minW = hasMin ? h.min_width : hasBase ? h.base_width : 1;
  const std::int32_t minH = hasMin ? h.min_height : hasBase ? h.base_height : 1;
  const std::int32_t baseW = hasBase ? h.base_width : hasMin ? h.min_width : 0;
  const std::int32_t baseH = hasBase  ? h.base_height
                             : hasMin ? h.min_height
                                      : 0;
  std::int32_t maxW = 0xFFFF, maxH = 0xFFFF;
  if ((h.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE) != 0) {
    maxW = h.max_width > 0 ? h.max_width : maxW;
    maxH = h.max_height > 0 ? h.max_height : maxH;
  }
  std::int32_t incW = 1, incH = 1;
  if ((h.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) != 0) {
    incW = std::max(h.width_inc, 1);
    incH = std::max(h.height_inc, 1);
  }
  width = std::clamp(width, std::min(minW, maxW), maxW);
  height = std::clamp(height, std::min(minH, maxH), maxH);
  if (width > baseW) width = baseW + (width - baseW) / incW * incW;
  if (height > baseH) height = baseH + (height - baseH) / incH * incH;
  return {width, height};
}

}  // namespace

struct X11WindowManager::Impl {
  xcb_connection_t* conn = nullptr;
  xcb_ewmh_connection_t ewmh{};
  bool ewmhReady = false;
  int screenNumber = 0;
  xcb_window_t root = 0;
  xcb_atom_t gtkFrameExtents = XCB_ATOM_NONE;
  xcb_atom_t wmState = XCB_ATOM_NONE;
  xcb_atom_t wmChangeState = XCB_ATOM_NONE;
  xcb_atom_t wmProtocols = XCB_ATOM_NONE;
  xcb_atom_t wmTakeFocus = XCB_ATOM_NONE;
  std::uint64_t roundTrips = 0;
  Clock::duration settleTime{};

  // Whether an EWMH window manager runs, as last checked, and its check
  // window. Without one the hints left on the windows are stale.
  bool wmPresent = true;
  xcb_window_t wmCheckWindow = XCB_NONE;
  Clock::time_point wmCheckedAt{};

  // Rectangles this backend gave windows (root coordinates), with the
  // identity of the window at that time.
  struct Placed {
    Rect outer;
    std::string identity;
  };
  std::map<xcb_window_t, Placed> placed;

  // Each client window's parent and frame, as last found.
  struct FrameLink {
    xcb_window_t parent;
    xcb_window_t frame;
  };
  std::map<xcb_window_t, FrameLink> frames;

  ~Impl() {
    if (ewmhReady) {
      xcb_ewmh_connection_wipe(&ewmh);
    }
    if (conn != nullptr) {
      xcb_disconnect(conn);
    }
  }

  bool Alive() const {
    return conn != nullptr && !xcb_connection_has_error(conn);
  }

  // Errors of requests without replies arrive as events; nothing else is
  // selected outside a write, so everything queued can go.
  bool DrainEvents() {
    bool any = false;
    while (xcb_generic_event_t* ev = xcb_poll_for_event(conn)) {
      any = true;
      std::free(ev);
    }
    return any;
  }

  void InternAll(
      std::initializer_list<std::pair<const char*, xcb_atom_t*>> atoms) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const auto& [name, atom] : atoms) {
      cookies.push_back(xcb_intern_atom(
          conn, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    }
    ++roundTrips;
    auto cookie = cookies.begin();
    for (const auto& [name, atom] : atoms) {
      XPtr<xcb_intern_atom_reply_t> reply(
          xcb_intern_atom_reply(conn, *cookie++, nullptr));
      *atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
  }

  xcb_get_property_cookie_t Property(xcb_window_t w, xcb_atom_t atom,
                                     xcb_atom_t type, std::uint32_t longs) {
    return xcb_get_property(conn, 0, w, atom, type, 0, longs);
  }

  // A reply, or nullptr on an error (the window is gone).
  template <typename Reply, typename Cookie,
            typename Fn = Reply* (*)(xcb_connection_t*, Cookie,
                                     xcb_generic_error_t**)>
  XPtr<Reply> Take(Fn fn, Cookie cookie, bool* failed = nullptr) {
    xcb_generic_error_t* error = nullptr;
    XPtr<Reply> reply(fn(conn, cookie, &error));
    if (error != nullptr || !reply) {
      std::free(error);
      if (failed != nullptr) {
        *failed = true;
      }
      return nullptr;
    }
    return reply;
  }

  XPtr<xcb_get_property_reply_t> TakeProperty(xcb_get_property_cookie_t c,
                                              bool* failed = nullptr) {
    return Take<xcb_get_property_reply_t>(xcb_get_property_reply, c, failed);
  }

  // The 32-bit values of a property reply (empty when it is not set).
  static std::vector<std::uint32_t> Cardinals(
      const xcb_get_property_reply_t* r) {
    if (r == nullptr || r->format != 32) {
      return {};
    }
    const auto* data =
        static_cast<const std::uint32_t*>(xcb_get_property_value(r));
    const int n = xcb_get_property_value_length(r) / 4;
    return {data, data + std::max(n, 0)};
  }

  static Extents ReadExtents(const xcb_get_property_reply_t* r) {
    const auto v = Cardinals(r);
    if (v.size() < 4) {
      return {};
    }
    // Hints are CARDINALs; anything that would read as negative or absurd
    // is taken as no frame.
    for (std::uint32_t x : v) {
      if (x > 0xFFFF) {
        return {};
      }
    }
    return {static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]),
            static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])};
  }

  // The work area from the replies of a batch: _NET_WORKAREA at the current
  // desktop, else the whole screen.
  Rect WorkAreaFrom(const xcb_get_property_reply_t* workarea,
                    const xcb_get_property_reply_t* desktop,
                    const xcb_get_geometry_reply_t* rootGeometry) {
    const auto areas = Cardinals(workarea);
    const auto current = Cardinals(desktop);
    const std::size_t index = current.empty() ? 0 : current[0];
    if (areas.size() >= 4 * (index + 1) && index < areas.size()) {
      const std::uint32_t* a = &areas[4 * index];
      if (a[2] > 0 && a[3] > 0 && a[2] <= 0xFFFF && a[3] <= 0xFFFF &&
          a[0] <= 0xFFFF && a[1] <= 0xFFFF) {
        const auto x = static_cast<std::int32_t>(a[0]);
        const auto y = static_cast<std::int32_t>(a[1]);
        return {x, y, x + static_cast<std::int32_t>(a[2]),
                y + static_cast<std::int32_t>(a[3])};
      }
    }
    if (rootGeometry != nullptr) {
      return {0, 0, rootGeometry->width, rootGeometry->height};
    }
    return {};
  }

  struct WorkAreaCookies {
    xcb_get_property_cookie_t workarea;
    xcb_get_property_cookie_t desktop;
    xcb_get_geometry_cookie_t rootGeometry;
  };
  WorkAreaCookies AskWorkArea() {
    return {Property(root, ewmh._NET_WORKAREA, XCB_ATOM_CARDINAL, 256),
            Property(root, ewmh._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1),
            xcb_get_geometry(conn, root)};
  }
  Rect TakeWorkArea(const WorkAreaCookies& c) {
    auto workarea = TakeProperty(c.workarea);
    auto desktop = TakeProperty(c.desktop);
    auto geometry =
        Take<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, c.rootGeometry);
    // Without a window manager _NET_WORKAREA is stale: the whole screen.
    return WorkAreaFrom(wmPresent ? workarea.get() : nullptr, desktop.get(),
                        geometry.get());
  }

  static xcb_window_t FirstWindow(const xcb_get_property_reply_t* r) {
    if (r == nullptr || r->format != 32 ||
        xcb_get_property_value_length(r) < 4) {
      return XCB_NONE;
    }
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(r));
  }

  // Whether an EWMH window manager runs: the root's
  // _NET_SUPPORTING_WM_CHECK names a window that names itself. Checked at
  // most every half second; a window manager can be replaced while Pentrax
  // runs.
  bool WmPresent() {
    const auto now = Clock::now();
    if (now - wmCheckedAt < milliseconds(500)) {
      return wmPresent;
    }
    wmCheckedAt = now;
    auto rootCookie =
        Property(root, ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1);
    std::optional<xcb_get_property_cookie_t> known;
    if (wmCheckWindow != XCB_NONE) {
      known = Property(wmCheckWindow, ewmh._NET_SUPPORTING_WM_CHECK,
                       XCB_ATOM_WINDOW, 1);
    }
    ++roundTrips;
    const xcb_window_t named = FirstWindow(TakeProperty(rootCookie).get());
    const xcb_window_t self = known ? FirstWindow(TakeProperty(*known).get())
                                    : xcb_window_t{XCB_NONE};
    if (named != XCB_NONE && named == wmCheckWindow && self == named) {
      return wmPresent = true;
    }
    wmCheckWindow = XCB_NONE;
    if (named != XCB_NONE) {
      ++roundTrips;
      auto r = TakeProperty(
          Property(named, ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1));
      if (FirstWindow(r.get()) == named) {
        wmCheckWindow = named;
      }
    }
    return wmPresent = wmCheckWindow != XCB_NONE;
  }

  // Reads everything a placement needs in one round trip.
  std::optional<WindowState> ReadState(xcb_window_t w,
                                       xcb_window_t frame = XCB_NONE) {
    if (!Alive()) {
      return std::nullopt;
    }
    auto geometry = xcb_get_geometry(conn, w);
    auto origin = xcb_translate_coordinates(conn, w, root, 0, 0);
    auto frameExtents =
        Property(w, ewmh._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4);
    auto gtkExtents = Property(w, gtkFrameExtents, XCB_ATOM_CARDINAL, 4);
    auto icccmState = Property(w, wmState, wmState, 2);
    auto netState = Property(w, ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 64);
    auto area = AskWorkArea();
    std::optional<xcb_get_geometry_cookie_t> frameGeometry;
    if (frame != XCB_NONE && frame != w) {
      frameGeometry = xcb_get_geometry(conn, frame);
    }
    ++roundTrips;

    bool failed = false;
    auto g = Take<xcb_get_geometry_reply_t>(xcb_get_geometry_reply, geometry,
                                            &failed);
    auto o = Take<xcb_translate_coordinates_reply_t>(
        xcb_translate_coordinates_reply, origin, &failed);
    auto fe = TakeProperty(frameExtents, &failed);
    auto ge = TakeProperty(gtkExtents, &failed);
    auto is = TakeProperty(icccmState, &failed);
    auto ns = TakeProperty(netState, &failed);
    WindowState s;
    s.workArea = TakeWorkArea(area);
    if (frameGeometry) {
      auto fg = Take<xcb_get_geometry_reply_t>(xcb_get_geometry_reply,
                                               *frameGeometry, &failed);
      if (fg) {
        s.frame = Rect{fg->x, fg->y, fg->x + fg->width + 2 * fg->border_width,
                       fg->y + fg->height + 2 * fg->border_width};
      }
    }
    if (failed || !g || !o) {
      return std::nullopt;
    }
    s.borderWidth = g->border_width;
    const std::int32_t left = o->dst_x - g->border_width;
    const std::int32_t top = o->dst_y - g->border_width;
    s.client = {left, top, left + g->width + 2 * g->border_width,
                top + g->height + 2 * g->border_width};
    s.frameExtents = wmPresent ? ReadExtents(fe.get()) : Extents{};
    s.gtkExtents = ReadExtents(ge.get());
    const auto icccm = Cardinals(is.get());
    s.iconic = !icccm.empty() && icccm[0] == kWmStateIconic;
    for (std::uint32_t atom : Cardinals(ns.get())) {
      s.hidden |= atom == ewmh._NET_WM_STATE_HIDDEN;
      s.maxVert |= atom == ewmh._NET_WM_STATE_MAXIMIZED_VERT;
      s.maxHorz |= atom == ewmh._NET_WM_STATE_MAXIMIZED_HORZ;
    }
    return s;
  }

  // The parent of a window; XCB_NONE when it is gone.
  xcb_window_t Parent(xcb_window_t w) {
    ++roundTrips;
    auto tree = Take<xcb_query_tree_reply_t>(xcb_query_tree_reply,
                                             xcb_query_tree(conn, w));
    return tree ? tree->parent : XCB_NONE;
  }

  // The root's child that holds the window: its frame under a reparenting
  // window manager, the window itself otherwise.
  xcb_window_t FrameOf(xcb_window_t w) {
    for (int depth = 0; depth < 16 && w != XCB_NONE; ++depth) {
      const xcb_window_t parent = Parent(w);
      if (parent == root || parent == XCB_NONE) {
        return parent == root ? w : XCB_NONE;
      }
      w = parent;
    }
    return XCB_NONE;
  }

  bool HasWmState(xcb_window_t w) {
    ++roundTrips;
    auto reply = TakeProperty(Property(w, wmState, wmState, 2));
    return reply && reply->type != XCB_ATOM_NONE;
  }

  // The client window at or below w: the first one carrying WM_STATE.
  xcb_window_t ClientBelow(xcb_window_t w, int depth = 0) {
    if (HasWmState(w)) {
      return w;
    }
    if (depth > 4) {
      return XCB_NONE;
    }
    ++roundTrips;
    auto tree = Take<xcb_query_tree_reply_t>(xcb_query_tree_reply,
                                             xcb_query_tree(conn, w));
    if (!tree) {
      return XCB_NONE;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int n = xcb_query_tree_children_length(tree.get());
    for (int i = n - 1; i >= 0; --i) {
      if (const xcb_window_t c = ClientBelow(children[i], depth + 1)) {
        return c;
      }
    }
    return XCB_NONE;
  }

  // The top-level client window that holds the input focus, for window
  // managers that publish no _NET_ACTIVE_WINDOW.
  xcb_window_t FocusedClient() {
    ++roundTrips;
    auto focus = Take<xcb_get_input_focus_reply_t>(xcb_get_input_focus_reply,
                                                   xcb_get_input_focus(conn));
    if (!focus || focus->focus == XCB_NONE ||
        focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus->focus == root) {
      return XCB_NONE;
    }
    for (xcb_window_t w = focus->focus; w != XCB_NONE && w != root;) {
      if (HasWmState(w)) {
        return w;
      }
      const xcb_window_t parent = Parent(w);
      if (parent == root) {
        const xcb_window_t client = ClientBelow(w);
        return client != XCB_NONE ? client : w;
      }
      w = parent;
    }
    return XCB_NONE;
  }

  struct IdentityCookies {
    xcb_get_property_cookie_t pid, wmClass;
  };
  IdentityCookies AskIdentity(xcb_window_t w) {
    return {Property(w, ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1),
            Property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 64)};
  }
  std::string TakeIdentity(const IdentityCookies& cookies) {
    auto p = TakeProperty(cookies.pid);
    auto c = TakeProperty(cookies.wmClass);
    std::string id;
    if (const auto v = Cardinals(p.get()); !v.empty()) {
      id = "pid " + std::to_string(v[0]);
    }
    if (c && c->format == 8) {
      const int n = xcb_get_property_value_length(c.get());
      std::string wmClass(
          static_cast<const char*>(xcb_get_property_value(c.get())),
          static_cast<std::size_t>(std::max(n, 0)));
      std::replace(wmClass.begin(), wmClass.end(), '\0', '/');
      id += (id.empty() ? "class " : ", class ") + wmClass;
    }
    return id;
  }
  std::string Identity(xcb_window_t w) {
    if (!Alive()) {
      return {};
    }
    const IdentityCookies cookies = AskIdentity(w);
    ++roundTrips;
    return TakeIdentity(cookies);
  }

  // Waits until the window manager has carried out a request: re-reads the
  // window on every event about it until done() holds, or the window has
  // been quiet for a while, or the limit has passed. Needs the events of
  // the window (and its frame) selected.
  // `before` is the window as it was when the request was sent: a first
  // reading that differs from it is already a change.
  std::optional<WindowState> Settle(
      xcb_window_t w, xcb_window_t frame,
      const std::function<bool(const WindowState&)>& done,
      const std::optional<WindowState>& before = std::nullopt) {
    const auto start = Clock::now();
    struct AddTime {
      Clock::duration& total;
      Clock::time_point start;
      ~AddTime() { total += Clock::now() - start; }
    } addTime{settleTime, start};
    auto lastChange = start;
    std::optional<WindowState> last = ReadState(w, frame);
    bool changed = before && last && !(*before == *last);
    while (last && !done(*last)) {
      const auto now = Clock::now();
      const auto quietUntil = changed ? lastChange + kQuietAfterChange
                                      : start + kQuietWithoutChange;
      const auto until = std::min(quietUntil, start + kSettleLimit);
      if (now >= until) {
        break;
      }
      if (!DrainEvents()) {
        pollfd pfd{xcb_get_file_descriptor(conn), POLLIN, 0};
        const auto wait =
            std::chrono::duration_cast<milliseconds>(until - now).count() + 1;
        if (poll(&pfd, 1, static_cast<int>(wait)) <= 0) {
          continue;  // time is up, or interrupted: check again
        }
        DrainEvents();
      }
      auto next = ReadState(w, frame);
      if (!next) {
        return std::nullopt;
      }
      if (!(*next == *last)) {
        changed = true;
        lastChange = Clock::now();
      }
      last = next;
    }
    return last;
  }

  void SelectEvents(xcb_window_t w, std::uint32_t mask) {
    xcb_change_window_attributes(conn, w, XCB_CW_EVENT_MASK, &mask);
  }

  void SendWmState(xcb_window_t w, xcb_ewmh_wm_state_action_t action) {
    xcb_ewmh_request_change_wm_state(
        &ewmh, screenNumber, w, action, ewmh._NET_WM_STATE_MAXIMIZED_VERT,
        ewmh._NET_WM_STATE_MAXIMIZED_HORZ, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  }

  void SendIconify(xcb_window_t w) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = wmChangeState;
    ev.data.data32[0] = kWmStateIconic;
    xcb_send_event(conn, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
  }

  // The client size and position to ask for so that the outer rectangle
  // becomes `outer` (root coordinates).
  static void ClientRequest(const WindowState& s, const Rect& outer,
                            std::int32_t& x, std::int32_t& y,
                            std::int32_t& width, std::int32_t& height) {
    const Extents& f = s.frameExtents;
    const Extents& g = s.gtkExtents;
    x = outer.left - g.left;
    y = outer.top - g.top;
    width =
        outer.width() - f.left - f.right + g.left + g.right - 2 * s.borderWidth;
    height = outer.height() - f.top - f.bottom + g.top + g.bottom -
             2 * s.borderWidth;
    width = std::clamp(width, 1, 0xFFFF);
    height = std::clamp(height, 1, 0xFFFF);
  }

  // Of the given windows (bottom to top), the topmost ordinary visible one,
  // when it is one that takes no input focus; XCB_NONE otherwise.
  xcb_window_t TopmostUnfocusable(const std::vector<xcb_window_t>& windows) {
    if (windows.empty()) {
      return XCB_NONE;
    }
    struct Cookies {
      xcb_get_property_cookie_t hints, protocols, type, state;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows) {
      cookies.push_back(
          {Property(w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 9),
           Property(w, wmProtocols, XCB_ATOM_ATOM, 32),
           Property(w, ewmh._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 32),
           Property(w, ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 64)});
    }
    ++roundTrips;
    std::vector<XPtr<xcb_get_property_reply_t>> replies;
    replies.reserve(cookies.size() * 4);
    for (const Cookies& c : cookies) {
      replies.push_back(TakeProperty(c.hints));
      replies.push_back(TakeProperty(c.protocols));
      replies.push_back(TakeProperty(c.type));
      replies.push_back(TakeProperty(c.state));
    }
    for (std::size_t i = windows.size(); i-- > 0;) {
      const auto types = Cardinals(replies[4 * i + 2].get());
      const bool ordinary = types.empty() ||
                            types[0] == ewmh._NET_WM_WINDOW_TYPE_NORMAL ||
                            types[0] == ewmh._NET_WM_WINDOW_TYPE_DIALOG ||
                            types[0] == ewmh._NET_WM_WINDOW_TYPE_UTILITY;
      const auto states = Cardinals(replies[4 * i + 3].get());
      const bool hidden = std::find(states.begin(), states.end(),
                                    ewmh._NET_WM_STATE_HIDDEN) != states.end();
      if (!ordinary || hidden) {
        continue;
      }
      // ICCCM: the input hint (flags bit 0, then the input field), and the
      // WM_TAKE_FOCUS protocol.
      const auto hints = Cardinals(replies[4 * i].get());
      const bool refusesInput =
          hints.size() >= 2 && (hints[0] & 1) != 0 && hints[1] == 0;
      const auto protocols = Cardinals(replies[4 * i + 1].get());
      const bool takesFocus = std::find(protocols.begin(), protocols.end(),
                                        wmTakeFocus) != protocols.end();
      return refusesInput && !takesFocus ? windows[i] : XCB_NONE;
    }
    return XCB_NONE;
  }

  // Asks for the client window's position and size: through the window
  // manager, or directly when there is none.
  void RequestGeometry(xcb_window_t w, std::int32_t x, std::int32_t y,
                       std::int32_t width, std::int32_t height) {
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    const auto uw = static_cast<std::uint32_t>(width);
    const auto uh = static_cast<std::uint32_t>(height);
    if (!wmPresent) {
      const std::uint32_t values[] = {ux, uy, uw, uh};
      xcb_configure_window(conn, w,
                           XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                               XCB_CONFIG_WINDOW_WIDTH |
                               XCB_CONFIG_WINDOW_HEIGHT,
                           values);
    } else {
      xcb_ewmh_request_moveresize_window(
          &ewmh, screenNumber, w, XCB_GRAVITY_NORTH_WEST,
          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
          static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(
              XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y |
              XCB_EWMH_MOVERESIZE_WINDOW_WIDTH |
              XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT),
          ux, uy, uw, uh);
    }
    xcb_flush(conn);
  }

  int Place(xcb_window_t w, const WindowPlacement& placement);
};

int X11WindowManager::Impl::Place(xcb_window_t w,
                                  const WindowPlacement& placement) {
  const bool managed = WmPresent();
  // The first reading also brings the window's parent, identity and size
  // hints: one round trip.
  const auto treeCookie = xcb_query_tree(conn, w);
  const IdentityCookies identityCookies = AskIdentity(w);
  const auto hintsCookie = xcb_icccm_get_wm_normal_hints(conn, w);
  auto state = ReadState(w);
  auto tree = Take<xcb_query_tree_reply_t>(xcb_query_tree_reply, treeCookie);
  const std::string identity = TakeIdentity(identityCookies);
  std::optional<xcb_size_hints_t> hints;
  if (xcb_size_hints_t h{};
      xcb_icccm_get_wm_normal_hints_reply(conn, hintsCookie, &h, nullptr)) {
    hints = h;
  }
  if (!tree || !state) {
    return 0;
  }
  // The frame: found once by walking up, then known while the window keeps
  // its parent.
  xcb_window_t frame = w;
  if (tree->parent != root) {
    const auto known = frames.find(w);
    if (known != frames.end() && known->second.parent == tree->parent) {
      frame = known->second.frame;
    } else {
      frame = FrameOf(w);
      frames[w] = {tree->parent, frame};
    }
  }
  if (frame == XCB_NONE) {
    return 0;
  }
  constexpr std::uint32_t kWatch =
      XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  SelectEvents(w, kWatch);
  if (frame != w) {
    SelectEvents(frame, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
  }

  // A maximised or minimised window ignores moves: bring it back to its
  // normal state first, then read its (possibly new) frame extents.
  if (!managed) {
    // No window manager: its state hints are stale, and nothing would act
    // on a state request.
  } else if (state && (state->maxVert || state->maxHorz)) {
    SendWmState(w, XCB_EWMH_WM_STATE_REMOVE);
  }
  if (managed && state && (state->iconic || state->hidden)) {
    xcb_ewmh_request_change_active_window(&ewmh, screenNumber, w,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          XCB_CURRENT_TIME, XCB_NONE);
  }
  if (managed && state &&
      (state->maxVert || state->maxHorz || state->iconic || state->hidden)) {
    xcb_flush(conn);
    // Wait for quiet, not just for the new state: the window manager
    // redraws the frame (and publishes its extents) after the state change.
    state = Settle(
        w, frame, [](const WindowState&) { return false; }, state);
  }

  // The extents may change with the state (a maximised window loses its
  // borders) and reach us only after it: ask again with the new ones.
  for (int attempt = 0; attempt < 3 && state; ++attempt) {
    const Rect outer = Offset(placement.rcNormalPosition, state->workArea.left,
                              state->workArea.top);
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    ClientRequest(*state, outer, x, y, width, height);
    RequestGeometry(w, x, y, width, height);
    // What the window's size hints let it take instead: done as soon as it
    // has that, not only after a quiet spell.
    Rect allowed = outer;
    if (hints) {
      const auto [aw, ah] = AllowedSize(*hints, width, height);
      allowed.right += aw - width;
      allowed.bottom += ah - height;
    }
    const WindowState before = *state;
    state = Settle(
        w, frame,
        [&outer, &allowed](const WindowState& s) {
          return s.FrameSettled() &&
                 (s.Outer() == outer || s.Outer() == allowed);
        },
        before);
    if (!state || (state->frameExtents == before.frameExtents &&
                   state->gtkExtents == before.gtkExtents)) {
      break;
    }
  }

  if (state && managed) {
    placed[w] = {state->Outer(), identity};
    if (placement.showCmd == kShowMaximized) {
      SendWmState(w, XCB_EWMH_WM_STATE_ADD);
      xcb_flush(conn);
      state = Settle(
          w, frame,
          [](const WindowState& s) {
            return s.maximised() && s.FrameSettled();
          },
          state);
    } else if (placement.showCmd == kShowMinimized) {
      SendIconify(w);
      xcb_flush(conn);
      state = Settle(
          w, frame, [](const WindowState& s) { return s.iconic || s.hidden; },
          state);
    }
  }

  // Stop watching; events about a window that is gone are errors, which
  // DrainEvents discards.
  SelectEvents(w, 0);
  if (frame != w) {
    SelectEvents(frame, 0);
  }
  xcb_flush(conn);
  DrainEvents();
  return state && Alive() ? 1 : 0;
}

X11WindowManager::X11WindowManager(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl)) {}

X11WindowManager::~X11WindowManager() = default;

std::unique_ptr<X11WindowManager> X11WindowManager::Connect(
    const char* displayName, std::string* error) {
  auto impl = std::make_unique<Impl>();
  impl->conn = xcb_connect(displayName, &impl->screenNumber);
  if (xcb_connection_has_error(impl->conn)) {
    if (error != nullptr) {
      const char* name =
          displayName != nullptr ? displayName : std::getenv("DISPLAY");
      *error = name != nullptr && *name != '\0'
                   ? std::string("cannot open X display \"") + name + "\""
                   : std::string("no X display (DISPLAY is not set)");
    }
    return nullptr;
  }
  const xcb_setup_t* setup = xcb_get_setup(impl->conn);
  auto it = xcb_setup_roots_iterator(setup);
  for (int i = 0; i < impl->screenNumber && it.rem > 0; ++i) {
    xcb_screen_next(&it);
  }
  if (it.rem == 0 || it.data == nullptr) {
    if (error != nullptr) {
      *error = "the X display has no such screen";
    }
    return nullptr;
  }
  impl->root = it.data->root;
  xcb_intern_atom_cookie_t* cookies =
      xcb_ewmh_init_atoms(impl->conn, &impl->ewmh);
  impl->ewmhReady =
      xcb_ewmh_init_atoms_replies(&impl->ewmh, cookies, nullptr) != 0;
  if (!impl->ewmhReady) {
    if (error != nullptr) {
      *error = "cannot read the window manager hints of the X display";
    }
    return nullptr;
  }
  impl->InternAll({{"_GTK_FRAME_EXTENTS", &impl->gtkFrameExtents},
                   {"WM_STATE", &impl->wmState},
                   {"WM_CHANGE_STATE", &impl->wmChangeState},
                   {"WM_PROTOCOLS", &impl->wmProtocols},
                   {"WM_TAKE_FOCUS", &impl->wmTakeFocus}});
  return std::unique_ptr<X11WindowManager>(
      new X11WindowManager(std::move(impl)));
}

WindowHandle X11WindowManager::GetForegroundWindow() {
  Impl& x = *impl_;
  if (!x.Alive()) {
    return 0;
  }
  x.DrainEvents();
  if (!x.WmPresent()) {
    return static_cast<WindowHandle>(x.FocusedClient());
  }
  auto activeCookie =
      x.Property(x.root, x.ewmh._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
  auto stackingCookie = x.Property(x.root, x.ewmh._NET_CLIENT_LIST_STACKING,
                                   XCB_ATOM_WINDOW, 1 << 16);
  auto clientsCookie =
      x.Property(x.root, x.ewmh._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 1 << 16);
  ++x.roundTrips;
  auto active = x.TakeProperty(activeCookie);
  auto stacking = x.TakeProperty(stackingCookie);
  auto clients = x.TakeProperty(clientsCookie);
  // The stacking order tells which window is on top; a window manager that
  // publishes only the client list gives no order, just the clients.
  const bool ordered = stacking && stacking->type == XCB_ATOM_WINDOW;
  auto& list = ordered ? stacking : clients;
  const bool hasActive = active && active->type == XCB_ATOM_WINDOW;
  const bool hasList = list && list->type == XCB_ATOM_WINDOW;
  if (!hasActive && !hasList) {
    return static_cast<WindowHandle>(x.FocusedClient());
  }
  // Only the first value counts: some window managers publish two.
  const auto ids = Impl::Cardinals(active.get());
  xcb_window_t current = ids.empty() ? XCB_NONE : ids[0];
  // Bottom to top. A window manager may leave a closed window's id behind
  // in _NET_ACTIVE_WINDOW: only a listed client counts.
  const auto stack = Impl::Cardinals(list.get());
  auto activeAt = std::find(stack.begin(), stack.end(), current);
  if (hasList && activeAt == stack.end()) {
    current = XCB_NONE;
  }
  // The windows above the active one, or all of them when none is active.
  const auto above = current == XCB_NONE       ? stack.begin()
                     : activeAt == stack.end() ? stack.end()
                                               : activeAt + 1;
  // A window that takes no input focus (xclock, for one) never becomes the
  // active window, but the window manager raises it when the user clicks it:
  // then it is the topmost ordinary window, above the active one.
  const xcb_window_t raised =
      ordered
          ? x.TopmostUnfocusable(std::vector<xcb_window_t>(above, stack.end()))
          : xcb_window_t{XCB_NONE};
  if (raised != XCB_NONE) {
    current = raised;
  }
  return current <= 0x7FFFFFFF ? static_cast<WindowHandle>(current) : 0;
}

int X11WindowManager::GetWindowPlacement(WindowHandle window,
                                         WindowPlacement& placement) {
  Impl& x = *impl_;
  if (window <= 0 || !x.Alive()) {
    return 0;
  }
  x.DrainEvents();
  x.WmPresent();
  const auto w = static_cast<xcb_window_t>(window);
  const auto state = x.ReadState(w);
  if (!state) {
    return 0;
  }
  Rect normal = state->Outer();
  std::int32_t show = kShowNormal;
  if (state->iconic || state->hidden) {
    show = kShowMinimized;
  } else if (state->maximised()) {
    show = kShowMaximized;
  }
  if (state->maxVert || state->maxHorz) {
    const auto it = x.placed.find(w);
    if (it != x.placed.end() && it->second.identity == x.Identity(w)) {
      normal = it->second.outer;
    }
  }
  placement.length = kPlacementLength;
  placement.showCmd = show;
  placement.rcNormalPosition =
      Offset(normal, -state->workArea.left, -state->workArea.top);
  return 1;
}

int X11WindowManager::SetWindowPlacement(WindowHandle window,
                                         const WindowPlacement& placement) {
  Impl& x = *impl_;
  if (window <= 0 || !x.Alive()) {
    return 0;
  }
  x.DrainEvents();
  return x.Place(static_cast<xcb_window_t>(window), placement);
}

int X11WindowManager::GetWindowText(WindowHandle window, char* buffer,
                                    int maxCount) {
  Impl& x = *impl_;
  if (buffer == nullptr || maxCount <= 0) {
    return 0;
  }
  if (window <= 0 || !x.Alive()) {
    buffer[0] = '\0';
    return 0;
  }
  x.DrainEvents();
  const auto w = static_cast<xcb_window_t>(window);
  // 64 longs = 256 bytes: enough for 255 bytes of title, even from Latin-1.
  auto netName = x.Property(w, x.ewmh._NET_WM_NAME, x.ewmh.UTF8_STRING, 64);
  auto wmName = x.Property(w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 64);
  ++x.roundTrips;
  auto net = x.TakeProperty(netName);
  auto old = x.TakeProperty(wmName);

  std::string title;
  const auto text = [](const xcb_get_property_reply_t* r) {
    const int n = xcb_get_property_value_length(r);
    const auto* data = static_cast<const char*>(xcb_get_property_value(r));
    const std::size_t length = std::max(n, 0);
    return std::string(data, strnlen(data, length));
  };
  if (net && net->format == 8 && net->type == x.ewmh.UTF8_STRING) {
    title = text(net.get());
  } else if (old && old->format == 8 && old->type != XCB_ATOM_NONE) {
    title = text(old.get());
    if (old->type != x.ewmh.UTF8_STRING) {
      title = Latin1ToUtf8(title.data(), title.size());  // STRING is Latin-1
    }
  }
  const std::size_t length =
      Utf8Cut(title, static_cast<std::size_t>(maxCount) - 1);
  std::memcpy(buffer, title.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

bool X11WindowManager::GetWorkArea(WindowHandle, Rect& workArea) {
  Impl& x = *impl_;
  if (!x.Alive()) {
    return false;
  }
  x.DrainEvents();
  x.WmPresent();
  const auto cookies = x.AskWorkArea();
  ++x.roundTrips;
  const Rect area = x.TakeWorkArea(cookies);
  if (area.width() <= 0 || area.height() <= 0) {
    return false;
  }
  // Placements are measured from the work area's top-left corner.
  workArea = Offset(area, -area.left, -area.top);
  return true;
}

std::string X11WindowManager::WindowIdentity(WindowHandle window) {
  if (window <= 0) {
    return {};
  }
  impl_->DrainEvents();
  return impl_->Identity(static_cast<xcb_window_t>(window));
}

bool X11WindowManager::IsOwnProcessWindow(WindowHandle window) {
  Impl& x = *impl_;
  if (window <= 0 || !x.Alive()) {
    return false;
  }
  x.DrainEvents();
  ++x.roundTrips;
  const auto pid = Impl::Cardinals(
      x.TakeProperty(x.Property(static_cast<xcb_window_t>(window),
                                x.ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1))
          .get());
  return !pid.empty() && pid[0] == static_cast<std::uint32_t>(getpid());
}

std::uint64_t X11WindowManager::roundTrips() const { return impl_->roundTrips; }

std::chrono::nanoseconds X11WindowManager::settleTime() const {
  return impl_->settleTime;
}

bool X11WindowManager::WaitUntilPlaced(WindowHandle window,
                                       const Rect& normal) {
  Impl& x = *impl_;
  if (window <= 0 || !x.Alive()) {
    return false;
  }
  const auto w = static_cast<xcb_window_t>(window);
  const xcb_window_t frame = x.FrameOf(w);
  if (frame == XCB_NONE) {
    return false;
  }
  x.SelectEvents(
      w, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
  if (frame != w) {
    x.SelectEvents(frame, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
  }
  xcb_flush(x.conn);
  const auto state = x.Settle(w, frame, [&normal](const WindowState& s) {
    return s.FrameSettled() &&
           Offset(s.Outer(), -s.workArea.left, -s.workArea.top) == normal;
  });
  x.SelectEvents(w, 0);
  if (frame != w) {
    x.SelectEvents(frame, 0);
  }
  xcb_flush(x.conn);
  x.DrainEvents();
  return state.has_value() && Offset(state->Outer(), -state->workArea.left,
                                     -state->workArea.top) == normal;
}

}  // namespace pentrax
