#include "kwin_window_state.h"

namespace pentrax {

std::int32_t ShowStateOf(const KWinWindow& window) {
  if (window.minimized) {
    return kShowMinimized;
  }
  if (window.fullScreen) {
    return kShowFullscreen;
  }
  const bool maximized = window.maximizeMode < 0 ? window.frame == window.area
                                                 : window.maximizeMode == 3;
  return maximized ? kShowMaximized : kShowNormal;
}

std::string ShowOfPlacement(std::int32_t showCmd) {
  switch (showCmd) {
    case kShowMaximized:
      return "maximized";
    case kShowMinimized:
      return "minimized";
    case kShowFullscreen:
      return "fullscreen";
    default:
      return "normal";
  }
}

std::optional<Rect> FrameAfterPlacing(const KWinWindow& window,
                                      std::int32_t showCmd,
                                      const Rect& normal) {
  switch (showCmd) {
    case kShowMaximized:
      return window.area;
    case kShowMinimized:
      return std::nullopt;
    case kShowFullscreen:
      return window.screen;
    default:
      return normal;
  }
}

SettleWatch::SettleWatch(const Rect& expected, const Rect& now,
                         Clock::time_point when)
    : expected_(expected), last_(now), lastChange_(when) {}

bool SettleWatch::Settled(const Rect& frame, Clock::time_point when) {
  if (frame == expected_) {
    return true;
  }
  if (frame != last_) {
    last_ = frame;
    changed_ = true;
    lastChange_ = when;
    return false;
  }
  return changed_ && when - lastChange_ >= kQuiet;
}

}  // namespace pentrax
