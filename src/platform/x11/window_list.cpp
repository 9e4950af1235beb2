#include "window_list.h"

#include <algorithm>

#include "pentrax_process.h"

namespace pentrax::x11 {

std::vector<xcb_window_t> ActionableClients(Connection& x) {
  const xcb_ewmh_connection_t& e = x.ewmh;
  auto stacking =
      x.Property(x.root, e._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, 1 << 16);
  auto list = x.Property(x.root, e._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 1 << 16);
  x.RoundTrip();
  auto s = x.TakeProperty(stacking);
  auto l = x.TakeProperty(list);
  const auto clients =
      Cardinals(s && s->type == XCB_ATOM_WINDOW ? s.get() : l.get());
  struct Cookies {
    xcb_get_property_cookie_t type, pid;
  };
  std::vector<Cookies> cookies;
  for (const xcb_window_t w : clients) {
    cookies.push_back({x.Property(w, e._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 32),
                       x.Property(w, e._NET_WM_PID, XCB_ATOM_CARDINAL, 1)});
  }
  x.RoundTrip();
  const std::vector<xcb_atom_t> ordinary = {e._NET_WM_WINDOW_TYPE_NORMAL,
                                            e._NET_WM_WINDOW_TYPE_DIALOG,
                                            e._NET_WM_WINDOW_TYPE_UTILITY};
  std::vector<xcb_window_t> actionable;
  for (std::size_t i = 0; i < clients.size(); ++i) {
    const auto type = x.TakeProperty(cookies[i].type);
    const auto pid = Cardinals(x.TakeProperty(cookies[i].pid).get());
    if (!type) {  // gone: the window manager's list is a step behind
      continue;
    }
    const auto types = Cardinals(type.get());
    const bool typed =
        types.empty() ||
        std::find(ordinary.begin(), ordinary.end(), types[0]) != ordinary.end();
    const bool own = !pid.empty() && IsPentraxProcess(pid[0]);
    if (typed && !own) {
      actionable.push_back(clients[i]);
    }
  }
  return actionable;
}

}  // namespace pentrax::x11
