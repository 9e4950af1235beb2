// Whether an EWMH window manager runs: the root's _NET_SUPPORTING_WM_CHECK
// names a window that names itself. Without one, the hints left on the
// windows are stale and nothing carries out requests sent to it.
#pragma once

#include "connection.h"

namespace pentrax::x11 {

class WmPresence {
 public:
  explicit WmPresence(Connection& x) : x_(x) {}

  // Checks at most every half second (a window manager can be replaced
  // while Pentrax runs); otherwise the last answer.
  bool Check();
  // The last answer.
  bool present() const { return present_; }

 private:
  Connection& x_;
  bool present_ = true;
  xcb_window_t checkWindow_ = XCB_NONE;
  Clock::time_point checkedAt_{};
};

}  // namespace pentrax::x11
