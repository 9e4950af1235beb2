#include "shell_protocol.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QMetaType>
#include <algorithm>
#include <limits>

#include "box_rect.h"

namespace pentrax::gnome {
namespace {

constexpr std::int64_t kCoordinateLimit = 32767;

bool Types(const QVariantList& args, std::initializer_list<int> types) {
  if (args.size() != static_cast<qsizetype>(types.size())) {
    return false;
  }
  return std::equal(
      types.begin(), types.end(), args.begin(),
      [](int type, const QVariant& v) { return v.metaType().id() == type; });
}

Rect RectAt(const QVariantList& args, qsizetype at) {
  return RectFromBox(args[at].toInt(), args[at + 1].toInt(),
                     args[at + 2].toInt(), args[at + 3].toInt());
}

WindowHandle Handle(std::uint32_t id) {
  return id <= static_cast<std::uint32_t>(
                   std::numeric_limits<WindowHandle>::max())
             ? static_cast<WindowHandle>(id)
             : 0;
}

std::int32_t ShowCmd(std::uint32_t state) {
  switch (static_cast<ShellState>(state)) {
    case ShellState::kMaximized:
      return kShowMaximized;
    case ShellState::kMinimized:
      return kShowMinimized;
    case ShellState::kFullscreen:
      return kShowFullscreen;
    default:
      return kShowNormal;
  }
}

}  // namespace

std::optional<ShellForeground> ParseForeground(const QVariantList& args) {
  if (!Types(args, {QMetaType::UInt, QMetaType::Int})) {
    return std::nullopt;
  }
  return ShellForeground{Handle(args[0].toUInt()), args[1].toInt()};
}

std::optional<ShellWindow> ParseWindow(const QVariantList& args) {
  constexpr int kInt = QMetaType::Int;
  if (!Types(args, {kInt,
                    kInt,
                    kInt,
                    kInt,
                    QMetaType::UInt,
                    kInt,
                    kInt,
                    kInt,
                    kInt,
                    kInt,
                    QMetaType::QString,
                    QMetaType::QString,
                    kInt,
                    kInt,
                    kInt,
                    kInt,
                    kInt,
                    kInt,
                    kInt,
                    kInt})) {
    return std::nullopt;
  }
  ShellWindow w;
  w.frame = RectAt(args, 0);
  w.showCmd = ShowCmd(args[4].toUInt());
  w.workArea = RectAt(args, 5);
  w.pid = args[9].toInt();
  w.wmClass = args[10].toString().toStdString();
  w.title = args[11].toString().toStdString();
  w.client = RectAt(args, 12);
  w.monitor = RectAt(args, 16);
  return w;
}

std::optional<std::pair<Rect, Rect>> ParsePrimaryMonitor(
    const QVariantList& args) {
  constexpr int kInt = QMetaType::Int;
  if (!Types(args, {kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt})) {
    return std::nullopt;
  }
  return std::pair(RectAt(args, 0), RectAt(args, 4));
}

std::vector<WindowHandle> ParseWindowList(const QVariantList& args) {
  std::vector<WindowHandle> windows;
  if (args.size() != 1 || !args[0].canConvert<QDBusArgument>()) {
    return windows;
  }
  const auto argument = args[0].value<QDBusArgument>();
  if (argument.currentSignature() != QLatin1String("au")) {
    return windows;
  }
  for (const uint id : qdbus_cast<QList<uint>>(argument)) {
    if (const WindowHandle h = Handle(id); h > 0) {
      windows.push_back(h);
    }
  }
  return windows;
}

std::optional<ShellPlacement> PlacementRequest(const WindowPlacement& p) {
  const Rect& r = p.rcNormalPosition;
  const std::int64_t width = std::int64_t{r.right} - r.left;
  const std::int64_t height = std::int64_t{r.bottom} - r.top;
  const auto inside = [](std::int64_t v, std::int64_t low) {
    return v >= low && v <= kCoordinateLimit;
  };
  if (!inside(r.left, -kCoordinateLimit) || !inside(r.top, -kCoordinateLimit) ||
      !inside(width, 1) || !inside(height, 1)) {
    return std::nullopt;
  }
  ShellPlacement s{ShellState::kNormal, r.left, r.top,
                   static_cast<std::int32_t>(width),
                   static_cast<std::int32_t>(height)};
  if (p.showCmd == kShowMaximized) {
    s.state = ShellState::kMaximized;
  } else if (p.showCmd == kShowMinimized) {
    s.state = ShellState::kMinimized;
  } else if (p.showCmd == kShowFullscreen) {
    s.state = ShellState::kFullscreen;
  }
  return s;
}

}  // namespace pentrax::gnome
