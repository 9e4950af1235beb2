#include "settle_poll.h"

#include <algorithm>
#include <thread>

namespace pentrax {

std::optional<Rect> PollUntilSettled(
    const std::function<std::optional<Rect>()>& read, const Rect& before,
    const std::optional<Rect>& wanted, bool stateChanged,
    const SettleTiming& timing) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto changedAt = start;
  bool changed = false;
  Rect last = before;
  auto interval = timing.interval;
  for (;;) {
    const std::optional<Rect> now = read();
    const auto at = Clock::now();
    if (!now || (wanted && *now == *wanted)) {
      return now;
    }
    if (*now != last) {
      changed = true;
      changedAt = at;
      last = *now;
    }
    const auto quiet = changed        ? timing.quietAfterChange
                       : stateChanged ? timing.quietAfterStateChange
                                      : timing.quietWithoutChange;
    if (at - changedAt >= quiet || at - start >= timing.limit) {
      return last;
    }
    // Never past the moment the wait would end.
    std::this_thread::sleep_for(std::min<Clock::duration>(
        interval, std::min(changedAt + quiet, start + timing.limit) - at));
    interval = std::min(2 * interval, timing.longestInterval);
  }
}

}  // namespace pentrax
