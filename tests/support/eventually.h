// Waiting on what a test can observe, with a deadline; rectangles printed
// readably in failures.
#pragma once

#include <chrono>
#include <ostream>
#include <thread>

#include "window_manager.h"

namespace pentrax::testing {

inline bool SleepMs(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return true;
}

// Whether the predicate held within the time, asked every `interval` ms.
template <typename Pred>
bool Eventually(Pred pred, int milliseconds = 3000, int interval = 20) {
  const auto until = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(milliseconds);
  while (!pred()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    SleepMs(interval);
  }
  return true;
}

}  // namespace pentrax::testing

namespace pentrax {
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom
      << "}";
}
}  // namespace pentrax
