#include "settle.h"

#include <poll.h>

#include <algorithm>

namespace pentrax::x11 {
namespace {

using std::chrono::milliseconds;

// How long a request may take the window manager, and how long a window
// must stay unchanged to count as settled when it never becomes as wanted.
constexpr milliseconds kSettleLimit{1000};
constexpr milliseconds kQuietAfterChange{50};
constexpr milliseconds kQuietWithoutChange{250};

// What the events queued since the last reading tell of the window.
struct Seen {
  bool change = false;  // it may have changed: to be read again
  bool answer = false;  // after that, the client rewrote its size hints
};

// A ConfigureNotify that repeats the last reading needs no new one, nor does
// a property no reading looks at (the window manager's allowed actions, say).
// The size hints are the client's own: a terminal rewrites them once it has
// taken its new size.
Seen Classify(Connection& x, xcb_window_t w, xcb_window_t frame,
              const WindowState& last) {
  Seen seen;
  x.DrainEvents([&](const xcb_generic_event_t& ev) {
    bool change = true;
    if ((ev.response_type & 0x7F) == XCB_CONFIGURE_NOTIFY) {
      const auto& c = reinterpret_cast<const xcb_configure_notify_event_t&>(ev);
      const std::int32_t b = 2 * c.border_width;
      const Rect r{c.x, c.y, c.x + c.width + b, c.y + c.height + b};
      if (c.window == w && frame == w) {
        change = !(r == last.client);  // a child of the root: root coordinates
      } else if (c.window == w) {
        // In its frame only the size tells: the frame's event the place.
        change = r.width() != last.client.width() ||
                 r.height() != last.client.height();
      } else if (c.window == frame && last.frame) {
        change = !(r == *last.frame);
      }
    } else if ((ev.response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
      const auto& p = reinterpret_cast<const xcb_property_notify_event_t&>(ev);
      change = p.atom == x.wmState || p.atom == x.gtkFrameExtents ||
               p.atom == x.ewmh._NET_WM_STATE ||
               p.atom == x.ewmh._NET_FRAME_EXTENTS;
      if (p.window == w && p.atom == XCB_ATOM_WM_NORMAL_HINTS) {
        seen.answer = true;
      }
    }
    if (change) {
      seen.change = true;
      seen.answer = false;
    }
  });
  return seen;
}

// Waits until the events tell something of the window, or the time is up.
Seen WaitForEvents(Connection& x, xcb_window_t w, xcb_window_t frame,
                   const WindowState& last, Clock::time_point until) {
  for (;;) {
    const Seen seen = Classify(x, w, frame, last);
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        until - Clock::now());
    if (seen.change || seen.answer || left.count() <= 0) {
      return seen;
    }
    pollfd pfd{xcb_get_file_descriptor(x.conn), POLLIN, 0};
    const timespec timeout{static_cast<time_t>(left.count() / 1000000),
                           static_cast<long>(left.count() % 1000000) * 1000};
    if (ppoll(&pfd, 1, &timeout, nullptr) <= 0) {
      return seen;
    }
  }
}

}  // namespace

std::optional<WindowState> Settle(Connection& x, StateReader& reader,
                                  xcb_window_t w, xcb_window_t frame,
                                  const Done& done,
                                  const std::optional<WindowState>& before,
                                  int keep) {
  const auto start = Clock::now();
  struct AddTime {
    Clock::duration& total;
    Clock::time_point start;
    ~AddTime() { total += Clock::now() - start; }
  } addTime{x.stats.settleTime, start};
  auto lastChange = start;
  std::optional<WindowState> last = reader.Read(w, frame);
  bool changed = before && last && !(*before == *last);
  // How long the window took to become as wanted, and when the client last
  // answered its new size.
  std::optional<Clock::duration> answer;
  std::optional<Clock::time_point> answeredAt;
  while (last) {
    const bool reached = done(*last);
    if (reached && !answer) {
      answer = Clock::now() - start;
    }
    if (reached && keep <= 0) {
      break;
    }
    const auto keepFor = std::min<Clock::duration>(
        keep * answer.value_or(Clock::duration{}), kQuietAfterChange);
    auto quietUntil = reached   ? lastChange + keepFor
                      : changed ? lastChange + kQuietAfterChange
                                : start + kQuietWithoutChange;
    // A request to set itself back would have come with the client's
    // answer: the window manager's time for it is enough.
    if (reached && answeredAt) {
      quietUntil = std::min(quietUntil, *answeredAt + *answer);
    }
    const auto until = std::min(quietUntil, start + kSettleLimit);
    if (Clock::now() >= until) {
      break;
    }
    const Seen seen = WaitForEvents(x, w, frame, *last, until);
    if (seen.change) {
      auto next = reader.Read(w, frame);
      if (!next) {
        return std::nullopt;
      }
      if (!(*next == *last)) {
        changed = true;
        lastChange = Clock::now();
        answeredAt.reset();
      }
      last = next;
    }
    if (seen.answer) {
      answeredAt = Clock::now();
    }
  }
  return last;
}

}  // namespace pentrax::x11
