// Whether Pentrax runs on KDE Plasma's Wayland session with KWin at hand: for
// choosing the KWin backend.
#pragma once

#include <functional>

namespace pentrax {

// From the session's environment (a lookup such as std::getenv): a KDE
// session (XDG_CURRENT_DESKTOP lists KDE, XDG_SESSION_DESKTOP is KDE, or
// KDE_FULL_SESSION is set) on Wayland (XDG_SESSION_TYPE is wayland, or
// WAYLAND_DISPLAY is set).
bool LooksLikeKdeWaylandSession(
    const std::function<const char*(const char*)>& getenv);

// The environment says so, and org.kde.KWin is on the session bus. Cheap: one
// call to the bus, none to KWin.
bool KWinSessionAnswers();

}  // namespace pentrax
