// Opening the window system's backend: the one place that knows which
// backends a build has, and which one the session Pentrax runs in calls for.
// pentrax2's executable has it without the backends that talk D-Bus (kwin,
// gnome): where NeedsSessionBus, its D-Bus part chooses and opens them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "window_manager.h"

namespace pentrax {

// The backends of this build, in the order a session is tried for them:
// sway, kwin, gnome, x11 on Linux; win32 on Windows.
std::vector<std::string_view> BackendNames();
// The same as the usage lists them: "sway, kwin, gnome or x11".
std::string BackendChoices();
// Why a backend asked for by name (--backend) cannot be had: none of this
// build's; empty for one of them, and for no name (the session's).
std::string UnknownBackend(std::string_view name);

// The backend the session calls for, what the user should know at start and
// with every command (empty when there is nothing to say), and the backend
// itself when choosing it opened it (gnome).
struct SessionBackend {
  std::string name;
  std::string note;
  std::unique_ptr<WindowManager> opened = nullptr;
};

// On Linux: sway when $SWAYSOCK names a socket that answers; kwin on KDE's
// Wayland session with org.kde.KWin on the session bus; gnome on GNOME's
// Wayland session when Pentrax's extension answers; x11 otherwise, with a
// note on a Wayland session: there only XWayland windows can be sized (and
// on GNOME, what is wrong with the extension, as GNOME Shell tells it, and
// what to do). Asks the session bus: a QCoreApplication should exist.
SessionBackend ChooseBackend();

// Whether the named backend, or the session's own when the name is empty,
// talks D-Bus (kwin, gnome): then a QCoreApplication must exist first.
bool NeedsSessionBus(std::string_view backend);

// Opens the named backend, or the session's own (ChooseBackend) when the
// name is empty, or takes the one that choosing it opened. Returns nullptr,
// with a one-line reason in error, when it cannot be opened (for example with
// no X display). The kwin backend needs a QCoreApplication for as long as it
// lives.
std::unique_ptr<WindowManager> CreateWindowManager(std::string_view backend,
                                                   std::string& error);
std::unique_ptr<WindowManager> CreateWindowManager(SessionBackend& session,
                                                   std::string& error);

}  // namespace pentrax
