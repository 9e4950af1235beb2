#include "wm_presence.h"

#include <optional>

namespace pentrax::x11 {

bool WmPresence::Check() {
  const auto now = Clock::now();
  if (now - checkedAt_ < std::chrono::milliseconds(500)) {
    return present_;
  }
  checkedAt_ = now;
  const xcb_atom_t check = x_.ewmh._NET_SUPPORTING_WM_CHECK;
  auto rootCookie = x_.Property(x_.root, check, XCB_ATOM_WINDOW, 1);
  std::optional<xcb_get_property_cookie_t> known;
  if (checkWindow_ != XCB_NONE) {
    known = x_.Property(checkWindow_, check, XCB_ATOM_WINDOW, 1);
  }
  x_.RoundTrip();
  const xcb_window_t named = FirstWindow(x_.TakeProperty(rootCookie).get());
  const xcb_window_t self = known ? FirstWindow(x_.TakeProperty(*known).get())
                                  : xcb_window_t{XCB_NONE};
  if (named != XCB_NONE && named == checkWindow_ && self == named) {
    return present_ = true;
  }
  checkWindow_ = XCB_NONE;
  if (named != XCB_NONE) {
    x_.RoundTrip();
    auto r = x_.TakeProperty(x_.Property(named, check, XCB_ATOM_WINDOW, 1));
    if (FirstWindow(r.get()) == named) {
      checkWindow_ = named;
    }
  }
  return present_ = checkWindow_ != XCB_NONE;
}

}  // namespace pentrax::x11
