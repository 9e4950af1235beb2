#include "sway_settle.h"

#include <thread>

namespace pentrax {

std::optional<Rect> WaitUntilSettled(
    const std::function<std::optional<Rect>()>& read, const Rect& asked,
    bool stateChanged, const SwaySettleTiming& timing) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto changedAt = start;
  bool changed = false;
  std::optional<Rect> last = asked;
  for (;;) {
    const std::optional<Rect> now = read();
    const auto at = Clock::now();
    if (!now) {
      return now;
    }
    if (*now != *last) {
      changed = true;
      changedAt = at;
      last = now;
    }
    const auto quiet = changed        ? timing.quietAfterChange
                       : stateChanged ? timing.quietAfterStateChange
                                      : timing.quietWithoutChange;
    if (at - changedAt >= quiet || at - start >= timing.limit) {
      return last;
    }
    std::this_thread::sleep_for(timing.interval);
  }
}

}  // namespace pentrax
