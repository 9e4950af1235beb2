#include "frame.h"

#include <algorithm>

#include "box_rect.h"

namespace pentrax::win32 {
namespace {

std::int32_t Clamp(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// The rectangle moved by (dx, dy) and grown by the insets on each side
// (shrunk for negative ones).
Rect Grown(const Rect& r, std::int64_t dx, std::int64_t dy, const Insets& by,
           std::int64_t sign) {
  return {Clamp(r.left + dx - sign * by.left),
          Clamp(r.top + dy - sign * by.top),
          Clamp(r.right + dx + sign * by.right),
          Clamp(r.bottom + dy + sign * by.bottom)};
}

}  // namespace

Insets InvisibleBorders(const Rect& window, const Rect& visible) {
  const bool inside =
      visible.left >= window.left && visible.top >= window.top &&
      visible.right <= window.right && visible.bottom <= window.bottom;
  if (!inside || visible.left >= visible.right ||
      visible.top >= visible.bottom) {
    return {};
  }
  return {Clamp(std::int64_t{visible.left} - window.left),
          Clamp(std::int64_t{visible.top} - window.top),
          Clamp(std::int64_t{window.right} - visible.right),
          Clamp(std::int64_t{window.bottom} - visible.bottom)};
}

Insets BordersAtDpi(const Insets& borders, std::uint32_t from,
                    std::uint32_t to) {
  if (from == 0 || to == 0) {
    return borders;
  }
  const auto scaled = [&](std::int32_t side) {
    return ClampCoordinate(static_cast<double>(side) * to / from);
  };
  return {scaled(borders.left), scaled(borders.top), scaled(borders.right),
          scaled(borders.bottom)};
}

Rect VisibleFrame(const Rect& window, const Insets& borders) {
  return Grown(window, 0, 0, borders, -1);
}

Rect ScreenWindowRect(const Rect& visible, const Point& offset,
                      const Insets& borders) {
  return Grown(visible, offset.x, offset.y, borders, 1);
}

}  // namespace pentrax::win32
