#include "window_properties.h"

#include <algorithm>

#include "pentrax_process.h"
#include "titles.h"

namespace pentrax::x11 {

WindowProperties::TitleCookies WindowProperties::AskTitle(xcb_window_t w) {
  // 64 longs = 256 bytes: enough for 255 bytes of title, even from Latin-1.
  return {x_.Property(w, x_.ewmh._NET_WM_NAME, x_.ewmh.UTF8_STRING, 64),
          x_.Property(w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 64)};
}

std::string WindowProperties::TakeTitle(const TitleCookies& c) {
  auto net = x_.TakeProperty(c.netName);
  auto old = x_.TakeProperty(c.wmName);
  if (net && net->format == 8 && net->type == x_.ewmh.UTF8_STRING) {
    return std::string(UpToNul(Bytes(net.get())));
  }
  if (old && old->format == 8 && old->type != XCB_ATOM_NONE) {
    const std::string title(UpToNul(Bytes(old.get())));
    // STRING is Latin-1.
    return old->type == x_.ewmh.UTF8_STRING ? title : Latin1ToUtf8(title);
  }
  return {};
}

std::string WindowProperties::Title(xcb_window_t w) {
  const TitleCookies c = AskTitle(w);
  x_.RoundTrip();
  return TakeTitle(c);
}

WindowProperties::IdentityCookies WindowProperties::AskIdentity(
    xcb_window_t w) {
  const TitleCookies title = AskTitle(w);
  return {x_.Property(w, x_.ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1),
          x_.Property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 64), title.netName,
          title.wmName};
}

std::string WindowProperties::TakeIdentity(const IdentityCookies& c) {
  auto pid = x_.TakeProperty(c.pid);
  auto wmClass = x_.TakeProperty(c.wmClass);
  const std::string title = TakeTitle({c.netName, c.wmName});
  std::string id;
  if (const auto v = Cardinals(pid.get()); !v.empty()) {
    id = "pid " + std::to_string(v[0]);
  }
  if (wmClass && wmClass->format == 8) {
    std::string name = Bytes(wmClass.get());
    std::replace(name.begin(), name.end(), '\0', '/');
    id += (id.empty() ? "class " : ", class ") + name;
  }
  // Nothing else names the program: a newcomer given the same id most
  // likely has another title.
  return id.empty() && !title.empty() ? "title " + title : id;
}

std::string WindowProperties::Identity(xcb_window_t w) {
  if (!x_.Alive()) {
    return {};
  }
  const IdentityCookies c = AskIdentity(w);
  x_.RoundTrip();
  return TakeIdentity(c);
}

bool WindowProperties::OwnProcess(xcb_window_t w) {
  x_.RoundTrip();
  const auto pid = Cardinals(
      x_.TakeProperty(x_.Property(w, x_.ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1))
          .get());
  return !pid.empty() && IsPentraxProcess(pid[0]);
}

}  // namespace pentrax::x11
