// Rectangles as the desktops describe them: (x, y, width, height) in
// numbers of any range (64-bit integers in sway's replies, doubles in
// script answers), turned into a Rect that no sum can overflow.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "window_manager.h"

namespace pentrax {

// The nearest 32-bit value: rounded, and clamped to the range; NaN is 0.
inline std::int32_t ClampCoordinate(double v) {
  if (std::isnan(v)) {
    return 0;
  }
  return static_cast<std::int32_t>(
      std::clamp(std::round(v), -2147483648.0, 2147483647.0));
}

// x and y clamped, a negative width or height taken as 0, and the right and
// bottom edges clamped again.
inline Rect RectFromBox(double x, double y, double width, double height) {
  const std::int64_t left = ClampCoordinate(x);
  const std::int64_t top = ClampCoordinate(y);
  const std::int64_t w = std::max(0, ClampCoordinate(width));
  const std::int64_t h = std::max(0, ClampCoordinate(height));
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
          ClampCoordinate(static_cast<double>(left + w)),
          ClampCoordinate(static_cast<double>(top + h))};
}

// What lies around `content` inside `outer` on each side; a side where the
// content reaches beyond the outer rectangle (a client's shadow) counts 0.
inline Insets InsetsBetween(const Rect& outer, const Rect& content) {
  return {std::max(0, content.left - outer.left),
          std::max(0, content.top - outer.top),
          std::max(0, outer.right - content.right),
          std::max(0, outer.bottom - content.bottom)};
}

}  // namespace pentrax
