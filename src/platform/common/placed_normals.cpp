#include "placed_normals.h"

namespace pentrax {

void PlacedNormals::Placed(WindowHandle window, std::string identity,
                           const Rect& normal) {
  placed_[window] = {std::move(identity), normal};
}

Rect PlacedNormals::NormalOf(WindowHandle window, const std::string& identity,
                             std::int32_t showCmd, const Rect& now) {
  const auto it = placed_.find(window);
  if (it == placed_.end()) {
    return now;
  }
  if (showCmd == kShowNormal) {
    it->second.normal = now;  // where it returns to from now on
    return now;
  }
  if (it->second.identity != identity) {
    placed_.erase(it);
    return now;
  }
  return showCmd == kShowMinimized ? now : it->second.normal;
}

}  // namespace pentrax
