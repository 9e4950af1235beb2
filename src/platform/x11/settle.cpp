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

// Waits until an event arrives (true) or the time is up.
bool WaitForEvents(Connection& x, Clock::time_point until) {
  if (x.DrainEvents()) {
    return true;
  }
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
      until - Clock::now());
  if (left.count() <= 0) {
    return false;
  }
  pollfd pfd{xcb_get_file_descriptor(x.conn), POLLIN, 0};
  const timespec timeout{static_cast<time_t>(left.count() / 1000000),
                         static_cast<long>(left.count() % 1000000) * 1000};
  return ppoll(&pfd, 1, &timeout, nullptr) > 0 && x.DrainEvents();
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
  // How long the window took to become as wanted.
  std::optional<Clock::duration> answer;
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
    const auto quietUntil = reached   ? lastChange + keepFor
                            : changed ? lastChange + kQuietAfterChange
                                      : start + kQuietWithoutChange;
    const auto until = std::min(quietUntil, start + kSettleLimit);
    if (Clock::now() >= until) {
      break;
    }
    if (!WaitForEvents(x, until)) {
      continue;  // time is up, or interrupted: check again
    }
    auto next = reader.Read(w, frame);
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

}  // namespace pentrax::x11
