#include "kwin_window_state.h"

namespace pentrax {

std::int32_t ShowStateOf(const KWinWindow& window) {
  if (window.minimized) {
    return kShowMinimized;
  }
  if (window.fullScreen) {
    return kShowFullscreen;
  }
  if (window.tiled) {
    return kShowTiled;
  }
  const bool maximized = window.maximizeMode < 0 ? window.frame == window.area
                                                 : window.maximizeMode == 3;
  return maximized ? kShowMaximized : kShowNormal;
}

std::string ShowOfPlacement(std::int32_t showCmd) {
  return std::string(ShowStateName(showCmd));
}

std::optional<Rect> FrameAfterPlacing(const KWinWindow& window,
                                      std::int32_t showCmd,
                                      const Rect& normal) {
  switch (showCmd) {
    case kShowMaximized:
      return window.area;
    case kShowMinimized:
    case kShowTiled:
      return std::nullopt;
    case kShowFullscreen:
      return window.screen;
    default:
      return normal;
  }
}

}  // namespace pentrax
