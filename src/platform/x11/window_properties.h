// What a client window says of itself: its title, what tells it apart from
// a later window with the same id, and the process it belongs to.
#pragma once

#include <string>

#include "connection.h"

namespace pentrax::x11 {

class WindowProperties {
 public:
  explicit WindowProperties(Connection& x) : x_(x) {}

  // The title as UTF-8: _NET_WM_NAME, else WM_NAME (Latin-1 unless typed
  // UTF8_STRING); empty when the window has none or is gone.
  std::string Title(xcb_window_t w);

  // The owning process and the window class; for a window that publishes
  // neither, its title. Asked in a caller's batch, or on its own.
  struct IdentityCookies {
    xcb_get_property_cookie_t pid, wmClass, netName, wmName;
  };
  IdentityCookies AskIdentity(xcb_window_t w);
  std::string TakeIdentity(const IdentityCookies& c);
  std::string Identity(xcb_window_t w);

  // Whether _NET_WM_PID names a Pentrax process (IsPentraxProcess).
  bool OwnProcess(xcb_window_t w);

 private:
  struct TitleCookies {
    xcb_get_property_cookie_t netName, wmName;
  };
  TitleCookies AskTitle(xcb_window_t w);
  std::string TakeTitle(const TitleCookies& c);

  Connection& x_;
};

}  // namespace pentrax::x11
