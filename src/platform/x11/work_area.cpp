#include "work_area.h"

#include <xcb/randr.h>

namespace pentrax::x11 {

std::vector<Strut> MonitorAreas::Struts(
    const std::vector<std::uint32_t>& clients, const Rect& screen) {
  std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>>
      cookies;
  cookies.reserve(clients.size());
  for (const xcb_window_t w : clients) {
    cookies.emplace_back(
        x_.Property(w, x_.ewmh._NET_WM_STRUT_PARTIAL, XCB_ATOM_CARDINAL, 12),
        x_.Property(w, x_.ewmh._NET_WM_STRUT, XCB_ATOM_CARDINAL, 4));
  }
  x_.RoundTrip();
  std::vector<Strut> struts;
  for (const auto& [partial, whole] : cookies) {
    auto p = x_.TakeProperty(partial);
    auto w = x_.TakeProperty(whole);
    if (auto s = StrutFrom(Cardinals(p.get()), Cardinals(w.get()), screen)) {
      struts.push_back(*s);
    }
  }
  return struts;
}

std::optional<MonitorAreas::Result> MonitorAreas::For(xcb_window_t w) {
  if (!x_.Alive()) {
    return std::nullopt;
  }
  const bool managed = wm_.Check();
  const WorkAreaCookies areaCookies = AskWorkArea(x_);
  std::optional<xcb_randr_get_monitors_cookie_t> monitorsCookie;
  if (x_.randrMonitors) {
    monitorsCookie = xcb_randr_get_monitors(x_.conn, x_.root, 1);
  }
  const auto clientsCookie =
      x_.Property(x_.root, x_.ewmh._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 1 << 16);
  std::optional<StateReader::Cookies> stateCookies;
  if (w != XCB_NONE) {
    stateCookies = reader_.Ask(w);
  }
  x_.RoundTrip();
  const WorkAreaReply net = TakeWorkArea(x_, areaCookies, managed);
  std::vector<Rect> monitors;
  std::size_t primary = 0;
  if (monitorsCookie) {
    auto reply = x_.Take<xcb_randr_get_monitors_reply_t>(
        xcb_randr_get_monitors_reply, *monitorsCookie);
    for (auto it = reply ? xcb_randr_get_monitors_monitors_iterator(reply.get())
                         : xcb_randr_monitor_info_iterator_t{};
         it.rem > 0; xcb_randr_monitor_info_next(&it)) {
      const xcb_randr_monitor_info_t& m = *it.data;
      if (m.primary != 0) {
        primary = monitors.size();
      }
      monitors.push_back({m.x, m.y, m.x + m.width, m.y + m.height});
    }
  }
  const auto clients = Cardinals(x_.TakeProperty(clientsCookie).get());
  const auto state = stateCookies ? reader_.Take(*stateCookies) : std::nullopt;
  if (net.workArea.width() <= 0 || net.workArea.height() <= 0) {
    return std::nullopt;
  }
  if (monitors.empty()) {
    monitors.push_back(net.screen);
  }
  const Rect& monitor =
      monitors[state ? MonitorOf(monitors, state->Outer(), primary) : primary];
  // With one monitor the window manager's work area says it all; without a
  // window manager nothing keeps windows off the struts.
  const std::vector<Strut> struts = managed && monitors.size() > 1
                                        ? Struts(clients, net.screen)
                                        : std::vector<Strut>{};
  return Result{MonitorWorkArea(monitor, net.screen, struts, net.workArea),
                net.workArea, monitor};
}

}  // namespace pentrax::x11
