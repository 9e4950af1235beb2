// Which desktop Pentrax runs on, as the session's environment tells it: the
// one place that reads the desktop variables. The backend factory then asks
// the desktop itself whether it answers.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pentrax {

enum class Desktop { kSway, kKde, kGnome, kOther };

struct DesktopSession {
  Desktop desktop = Desktop::kOther;
  bool wayland = false;  // a Wayland session (XWayland may run beside it)
  friend bool operator==(const DesktopSession&,
                         const DesktopSession&) = default;
};

// From the environment, through a lookup such as std::getenv:
// - sway: $SWAYSOCK is set;
// - KDE: XDG_CURRENT_DESKTOP (a colon-separated list) names KDE, or
//   XDG_SESSION_DESKTOP is KDE, or KDE_FULL_SESSION is set;
// - GNOME: XDG_CURRENT_DESKTOP names GNOME;
// - Wayland: WAYLAND_DISPLAY is set, or XDG_SESSION_TYPE is wayland.
// Empty values count as unset.
DesktopSession ReadDesktopSession(
    const std::function<const char*(const char*)>& getenv);

// Which desktop a backend's windows belong to, as the environment tells it:
// the same handle means another window on another desktop (two X servers,
// a nested sway), so the placements remembered are kept apart by it. The
// backend's name followed by: for x11 the X display ($DISPLAY without its
// screen number; "unix:N" is ":N"), for sway its socket ($SWAYSOCK), for
// kwin and gnome the session bus ($DBUS_SESSION_BUS_ADDRESS) and the
// Wayland display ($WAYLAND_DISPLAY).
std::string DisplayKey(std::string_view backend,
                       const std::function<const char*(const char*)>& getenv);

}  // namespace pentrax
