#include "geometry.h"

#include <algorithm>

namespace pentrax::x11 {
namespace {

// The largest size and coordinate span the X protocol carries.
constexpr std::int32_t kMaxSize = 0xFFFF;

std::int32_t Clamped(std::int64_t v, std::int32_t lo, std::int32_t hi) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

std::int32_t Cardinal(std::uint32_t v) {
  return static_cast<std::int32_t>(std::min<std::uint32_t>(v, kMaxSize));
}

bool Overlap(const Rect& a, const Rect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) &&
         std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

std::int64_t OverlapArea(const Rect& a, const Rect& b) {
  const std::int64_t w =
      std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
  const std::int64_t h =
      std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

Extents ExtentsFrom(const std::vector<std::uint32_t>& v) {
  if (v.size() < 4 || std::any_of(v.begin(), v.begin() + 4, [](auto x) {
        return x > static_cast<std::uint32_t>(kMaxSize);
      })) {
    return {};
  }
  return {Cardinal(v[0]), Cardinal(v[1]), Cardinal(v[2]), Cardinal(v[3])};
}

Rect OuterRect(const Rect& client, const Decoration& d) {
  const Extents& f = d.frame;
  const Extents& g = d.gtk;
  return {client.left - f.left + g.left, client.top - f.top + g.top,
          client.right + f.right - g.right,
          client.bottom + f.bottom - g.bottom};
}

Rect FrameRect(const Rect& client, const Extents& f) {
  return {client.left - f.left, client.top - f.top, client.right + f.right,
          client.bottom + f.bottom};
}

ClientRequest RequestFor(const Rect& outer, const Decoration& d) {
  const Extents& f = d.frame;
  const Extents& g = d.gtk;
  constexpr std::int32_t kMinPos = -0x8000, kMaxPos = 0x7FFF;
  const std::int64_t width = std::int64_t{outer.right} - outer.left - f.left -
                             f.right + g.left + g.right - 2 * d.borderWidth;
  const std::int64_t height = std::int64_t{outer.bottom} - outer.top - f.top -
                              f.bottom + g.top + g.bottom - 2 * d.borderWidth;
  return {Clamped(std::int64_t{outer.left} - g.left, kMinPos, kMaxPos),
          Clamped(std::int64_t{outer.top} - g.top, kMinPos, kMaxPos),
          Clamped(width, 1, kMaxSize), Clamped(height, 1, kMaxSize)};
}

ClientSize AllowedSize(const SizeHints& h, ClientSize asked) {
  // Clients may publish anything; a window's size lies within 1 to 65535,
  // and so must every value the arithmetic below uses.
  const auto size = [](std::int32_t v) { return Clamped(v, 0, kMaxSize); };
  const std::int32_t minW = h.hasMin    ? size(h.minWidth)
                            : h.hasBase ? size(h.baseWidth)
                                        : 1;
  const std::int32_t minH = h.hasMin    ? size(h.minHeight)
                            : h.hasBase ? size(h.baseHeight)
                                        : 1;
  const std::int32_t baseW = h.hasBase  ? size(h.baseWidth)
                             : h.hasMin ? minW
                                        : 0;
  const std::int32_t baseH = h.hasBase  ? size(h.baseHeight)
                             : h.hasMin ? minH
                                        : 0;
  std::int32_t maxW = kMaxSize, maxH = kMaxSize;
  if (h.hasMax) {
    maxW = h.maxWidth > 0 ? size(h.maxWidth) : maxW;
    maxH = h.maxHeight > 0 ? size(h.maxHeight) : maxH;
  }
  const std::int32_t incW = h.hasInc ? Clamped(h.widthInc, 1, kMaxSize) : 1;
  const std::int32_t incH = h.hasInc ? Clamped(h.heightInc, 1, kMaxSize) : 1;
  std::int32_t width =
      std::clamp(size(asked.width), std::min(minW, maxW), maxW);
  std::int32_t height =
      std::clamp(size(asked.height), std::min(minH, maxH), maxH);
  if (width > baseW) width = baseW + (width - baseW) / incW * incW;
  if (height > baseH) height = baseH + (height - baseH) / incH * incH;
  return {width, height};
}

std::optional<Rect> WorkAreaEntry(const std::vector<std::uint32_t>& areas,
                                  const std::vector<std::uint32_t>& desktop) {
  const std::size_t index = desktop.empty() ? 0 : desktop[0];
  if (index >= areas.size() / 4) {
    return std::nullopt;
  }
  const std::uint32_t* a = &areas[4 * index];
  constexpr auto kMax = static_cast<std::uint32_t>(kMaxSize);
  if (a[2] == 0 || a[3] == 0 || a[0] > kMax || a[1] > kMax || a[2] > kMax ||
      a[3] > kMax) {
    return std::nullopt;
  }
  const std::int32_t x = Cardinal(a[0]), y = Cardinal(a[1]);
  return Rect{x, y, x + Cardinal(a[2]), y + Cardinal(a[3])};
}

std::optional<Strut> StrutFrom(const std::vector<std::uint32_t>& partial,
                               const std::vector<std::uint32_t>& whole,
                               const Rect& screen) {
  Strut s;
  if (partial.size() >= 12) {
    std::int32_t* fields[] = {&s.left,        &s.right,        &s.top,
                              &s.bottom,      &s.leftStartY,   &s.leftEndY,
                              &s.rightStartY, &s.rightEndY,    &s.topStartX,
                              &s.topEndX,     &s.bottomStartX, &s.bottomEndX};
    for (std::size_t i = 0; i < 12; ++i) {
      *fields[i] = Cardinal(partial[i]);
    }
  } else if (whole.size() >= 4) {
    s = {Cardinal(whole[0]), Cardinal(whole[1]), Cardinal(whole[2]),
         Cardinal(whole[3]), screen.top,         screen.bottom - 1,
         screen.top,         screen.bottom - 1,  screen.left,
         screen.right - 1,   screen.left,        screen.right - 1};
  } else {
    return std::nullopt;
  }
  if (s.left == 0 && s.right == 0 && s.top == 0 && s.bottom == 0) {
    return std::nullopt;
  }
  return s;
}

std::size_t MonitorOf(const std::vector<Rect>& monitors, const Rect& window,
                      std::size_t fallback) {
  std::size_t best = fallback;
  std::int64_t most = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const std::int64_t area = OverlapArea(monitors[i], window);
    if (area > most) {
      most = area;
      best = i;
    }
  }
  return best;
}

Rect MonitorWorkArea(const Rect& monitor, const Rect& screen,
                     const std::vector<Strut>& struts,
                     const Rect& netWorkArea) {
  Rect area = monitor;
  // What the struts leave of the whole screen, edge by edge: the window
  // manager's _NET_WORKAREA reserves at least this much.
  Rect explained = screen;
  for (const Strut& s : struts) {
    const Rect left{screen.left, s.leftStartY, screen.left + s.left,
                    s.leftEndY + 1};
    const Rect right{screen.right - s.right, s.rightStartY, screen.right,
                     s.rightEndY + 1};
    const Rect top{s.topStartX, screen.top, s.topEndX + 1, screen.top + s.top};
    const Rect bottom{s.bottomStartX, screen.bottom - s.bottom,
                      s.bottomEndX + 1, screen.bottom};
    if (Overlap(left, monitor)) area.left = std::max(area.left, left.right);
    if (Overlap(right, monitor)) area.right = std::min(area.right, right.left);
    if (Overlap(top, monitor)) area.top = std::max(area.top, top.bottom);
    if (Overlap(bottom, monitor)) {
      area.bottom = std::min(area.bottom, bottom.top);
    }
    explained.left = std::max(explained.left, left.right);
    explained.right = std::min(explained.right, right.left);
    explained.top = std::max(explained.top, top.bottom);
    explained.bottom = std::min(explained.bottom, bottom.top);
  }
  if (netWorkArea.left > explained.left) {
    area.left = std::max(area.left, netWorkArea.left);
  }
  if (netWorkArea.right < explained.right) {
    area.right = std::min(area.right, netWorkArea.right);
  }
  if (netWorkArea.top > explained.top) {
    area.top = std::max(area.top, netWorkArea.top);
  }
  if (netWorkArea.bottom < explained.bottom) {
    area.bottom = std::min(area.bottom, netWorkArea.bottom);
  }
  // Struts that would leave nothing of the monitor are not believed.
  return area.width() > 0 && area.height() > 0 ? area : monitor;
}

}  // namespace pentrax::x11
