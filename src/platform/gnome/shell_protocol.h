// What Pentrax's GNOME Shell extension (data/gnome-shell) offers on D-Bus,
// and its answers read into plain values. The extension's object lives on
// the shell's own connection to the session bus.
#pragma once

#include <QVariantList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window_manager.h"

namespace pentrax::gnome {

inline constexpr char kShellService[] = "org.gnome.Shell";
inline constexpr char kObjectPath[] = "/dev/pentrax/Shell";
inline constexpr char kInterface[] = "dev.pentrax.Shell1";
inline constexpr char kExtensionUuid[] = "pentrax@pentrax.dev";
// The extension's answer to a program other than the pentrax2 it was
// installed with.
inline constexpr char kAccessDenied[] =
    "org.freedesktop.DBus.Error.AccessDenied";
// A call that failed inside the extension; the message is its error.
inline constexpr char kFailed[] = "dev.pentrax.Shell1.Error.Failed";

// Window states on the wire.
enum class ShellState : std::uint32_t {
  kNormal = 0,
  kMaximized = 1,
  kMinimized = 2,
  kFullscreen = 3,
};

// GetForegroundWindow: the focused window (0 when none that Pentrax may act
// on) and its process.
struct ShellForeground {
  WindowHandle window = 0;
  std::int32_t pid = -1;
};

// GetWindow: one window, rectangles in the shell's stage coordinates, the
// frame included.
struct ShellWindow {
  Rect frame;
  std::int32_t showCmd = kShowNormal;
  Rect workArea;  // of the window's monitor
  std::int32_t pid = -1;
  std::string wmClass;
  std::string title;  // UTF-8
  Rect client;        // the client's own part of the frame
  Rect monitor;       // the window's monitor
};

// The arguments of SetPlacement after the window: state, x, y, width,
// height.
struct ShellPlacement {
  ShellState state = ShellState::kNormal;
  std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// Read a reply's arguments; nullopt when they are not what the interface
// says. A window number beyond the handles' range reads as no window.
std::optional<ShellForeground> ParseForeground(const QVariantList& args);
std::optional<ShellWindow> ParseWindow(const QVariantList& args);
// GetPrimaryMonitor: the primary monitor's work area and whole rectangle.
std::optional<std::pair<Rect, Rect>> ParsePrimaryMonitor(
    const QVariantList& args);
// ListWindows: the window numbers; empty when the reply is not a list.
std::vector<WindowHandle> ParseWindowList(const QVariantList& args);

// What SetPlacement is asked for a placement: its show state and normal
// rectangle. nullopt for a rectangle the extension would refuse (empty, or
// beyond +-32767).
std::optional<ShellPlacement> PlacementRequest(const WindowPlacement& p);

}  // namespace pentrax::gnome
