#include "foreground.h"

#include <algorithm>
#include <optional>

namespace pentrax::x11 {
namespace {

bool Contains(const std::vector<xcb_window_t>& list, xcb_window_t w) {
  return std::find(list.begin(), list.end(), w) != list.end();
}

// The window manager's lists, read in one batch.
struct Lists {
  bool hasActive = false, hasList = false, ordered = false;
  xcb_window_t active = XCB_NONE;
  std::vector<xcb_window_t> stack;  // bottom to top when ordered
  xcb_window_t pointer = XCB_NONE;  // the root's child under the pointer
};

Lists ReadLists(Connection& x, bool withPointer) {
  const xcb_ewmh_connection_t& e = x.ewmh;
  auto active = x.Property(x.root, e._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
  auto stacking =
      x.Property(x.root, e._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, 1 << 16);
  auto clients =
      x.Property(x.root, e._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 1 << 16);
  std::optional<xcb_query_pointer_cookie_t> pointer;
  if (withPointer) {
    pointer = xcb_query_pointer(x.conn, x.root);
  }
  x.RoundTrip();
  auto a = x.TakeProperty(active);
  auto s = x.TakeProperty(stacking);
  auto c = x.TakeProperty(clients);
  Lists l;
  if (pointer) {
    auto p =
        x.Take<xcb_query_pointer_reply_t>(xcb_query_pointer_reply, *pointer);
    l.pointer = p ? p->child : xcb_window_t{XCB_NONE};
  }
  // The stacking order tells which window is on top; a window manager that
  // publishes only the client list gives no order, just the clients.
  l.ordered = s && s->type == XCB_ATOM_WINDOW;
  const auto& list = l.ordered ? s : c;
  l.hasList = list && list->type == XCB_ATOM_WINDOW;
  l.hasActive = a && a->type == XCB_ATOM_WINDOW;
  // Only the first value counts: some window managers publish two.
  l.active = FirstWindow(a.get());
  l.stack = Cardinals(list.get());
  return l;
}

}  // namespace

void ForegroundPicker::Listen(bool on) {
  if (listening_ != on) {
    x_.ListenToUser(on);
    listening_ = on;
  }
}

void ForegroundPicker::StartWatch() {
  Listen(true);
  x_.DrainEvents();
  pressesSeen_ = x_.buttonPresses;
  activationsSeen_ = x_.activationRequests;
  clicked_ = activated_ = XCB_NONE;
  watching_ = false;
  armedActive_ = Foreground();
  armedStack_ = clients_;
  watching_ = true;
}

std::vector<ForegroundPicker::Traits> ForegroundPicker::ReadTraits(
    const std::vector<xcb_window_t>& windows) {
  if (windows.empty()) {
    return {};
  }
  const xcb_ewmh_connection_t& e = x_.ewmh;
  struct Cookies {
    xcb_get_property_cookie_t hints, protocols, type, state;
  };
  std::vector<Cookies> cookies;
  cookies.reserve(windows.size());
  for (const xcb_window_t w : windows) {
    cookies.push_back({x_.Property(w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 9),
                       x_.Property(w, x_.wmProtocols, XCB_ATOM_ATOM, 32),
                       x_.Property(w, e._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 32),
                       x_.Property(w, e._NET_WM_STATE, XCB_ATOM_ATOM, 64)});
  }
  x_.RoundTrip();
  std::vector<Traits> traits;
  traits.reserve(windows.size());
  for (const Cookies& c : cookies) {
    const auto hints = Cardinals(x_.TakeProperty(c.hints).get());
    const auto protocols = Cardinals(x_.TakeProperty(c.protocols).get());
    const auto types = Cardinals(x_.TakeProperty(c.type).get());
    const auto states = Cardinals(x_.TakeProperty(c.state).get());
    Traits t;
    const xcb_atom_t type =
        types.empty() ? xcb_atom_t{XCB_ATOM_NONE} : types[0];
    t.pickable = type != e._NET_WM_WINDOW_TYPE_DESKTOP &&
                 type != e._NET_WM_WINDOW_TYPE_DOCK;
    t.ordinary = types.empty() || type == e._NET_WM_WINDOW_TYPE_NORMAL ||
                 type == e._NET_WM_WINDOW_TYPE_DIALOG ||
                 type == e._NET_WM_WINDOW_TYPE_UTILITY;
    t.hidden = Contains(states, e._NET_WM_STATE_HIDDEN);
    // ICCCM: the input hint (flags bit 0, then the input field), and the
    // WM_TAKE_FOCUS protocol.
    const bool refusesInput =
        hints.size() >= 2 && (hints[0] & 1) != 0 && hints[1] == 0;
    t.noFocus = refusesInput && !Contains(protocols, x_.wmTakeFocus);
    traits.push_back(t);
  }
  return traits;
}

// Whether the window has moved up in the stack since the watch started:
// some window that was above it then is below it now.
bool ForegroundPicker::Raised(xcb_window_t w,
                              const std::vector<xcb_window_t>& stack) const {
  const auto then = std::find(armedStack_.begin(), armedStack_.end(), w);
  const auto now = std::find(stack.begin(), stack.end(), w);
  if (then == armedStack_.end() || now == stack.end()) {
    return false;
  }
  const auto aboveThen = std::count_if(
      then + 1, armedStack_.end(), [&](auto o) { return Contains(stack, o); });
  const auto aboveNow = std::count_if(
      now + 1, stack.end(), [&](auto o) { return Contains(armedStack_, o); });
  return aboveNow < aboveThen;
}

xcb_window_t ForegroundPicker::Foreground() {
  if (!wm_.Check()) {
    clients_.clear();
    return tree_.FocusedClient();
  }
  const bool newClick = listening_ && x_.buttonPresses > pressesSeen_;
  pressesSeen_ = x_.buttonPresses;
  if (listening_ && x_.activationRequests > activationsSeen_) {
    activated_ = x_.lastActivationRequest;
  }
  activationsSeen_ = x_.activationRequests;
  const Lists l = ReadLists(x_, newClick);
  clients_ = l.hasList ? l.stack : std::vector<xcb_window_t>{};
  if (!l.hasActive && !l.hasList) {
    return tree_.FocusedClient();
  }
  if (newClick && l.pointer != XCB_NONE) {
    clicked_ = tree_.ClientBelow(l.pointer);
  }
  // A window manager may leave a closed window's id behind in
  // _NET_ACTIVE_WINDOW: only a listed client counts.
  xcb_window_t current = l.active;
  const auto at = std::find(l.stack.begin(), l.stack.end(), current);
  if (l.hasList && at == l.stack.end()) {
    current = XCB_NONE;
  }
  // The windows above the active one (all of them when none is active),
  // and the active one itself when it is new since the watch started.
  std::vector<xcb_window_t> candidates;
  if (l.ordered) {
    candidates.assign(current == XCB_NONE ? l.stack.begin() : at + 1,
                      l.stack.end());
  }
  const bool checkCurrent = current != XCB_NONE && current != armedActive_;
  if (checkCurrent) {
    candidates.insert(candidates.begin(), current);
  }
  const std::vector<Traits> traits = ReadTraits(candidates);
  if (checkCurrent && !traits.front().pickable) {
    current = XCB_NONE;
  }
  // A window that takes no input focus never becomes the active window, but
  // the window manager raises it when the user clicks or activates it: then
  // it is the topmost ordinary window, above the active one. One that was on
  // top all along (always on top), or that opened on top since the button
  // was pressed, counts only when the user clicked or activated it.
  xcb_window_t picked = current;
  const std::size_t first = checkCurrent ? 1 : 0;
  for (std::size_t i = candidates.size(); watching_ && i-- > first;) {
    if (!traits[i].ordinary || traits[i].hidden) {
      continue;
    }
    const xcb_window_t w = candidates[i];
    if (traits[i].noFocus &&
        (Raised(w, l.stack) || w == clicked_ || w == activated_)) {
      picked = w;
    }
    break;
  }
  if (picked == XCB_NONE && watching_ && Contains(l.stack, armedActive_)) {
    picked = armedActive_;  // nothing new picked yet
  }
  if (watching_ && picked != armedActive_) {
    Listen(false);  // picked: the clicks are of no more use
  }
  return picked;
}

}  // namespace pentrax::x11
