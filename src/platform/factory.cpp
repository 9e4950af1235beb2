#include "factory.h"

#include <algorithm>
#include <cstdlib>

#ifdef _WIN32
#include "win32_window_manager.h"
#else
#include "desktop_session.h"
#include "sway_window_manager.h"
#include "x11_window_manager.h"
#if PENTRAX_DBUS_BACKENDS
#include "gnome_window_manager.h"
#include "kwin_session.h"
#include "kwin_window_manager.h"
#endif
#endif

namespace pentrax {
namespace {

#ifdef _WIN32
std::unique_ptr<WindowManager> Open(std::string_view, std::string&) {
  return std::make_unique<Win32WindowManager>();
}
#else
constexpr char kXWaylandOnly[] =
    "On this Wayland desktop Pentrax can size only XWayland windows "
    "(programs that run through X11).";
constexpr char kUntilThen[] =
    ". Until then only XWayland windows can be sized (programs that run "
    "through X11).";

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::unique_ptr<WindowManager> OpenX11(std::string& error) {
  if (!Set("DISPLAY")) {
    error =
        "no X display: Pentrax needs an X11 desktop (or XWayland under "
        "Wayland) and DISPLAY set";
    return nullptr;
  }
  return X11WindowManager::Connect(nullptr, &error);
}

std::unique_ptr<WindowManager> Open(std::string_view backend,
                                    std::string& error) {
  if (backend == "sway") {
    if (!Set("SWAYSOCK")) {
      error = "SWAYSOCK is not set: not a sway session";
      return nullptr;
    }
    return SwayWindowManager::Connect("", &error);
  }
#if PENTRAX_DBUS_BACKENDS
  if (backend == "kwin") {
    return KWinWindowManager::Connect(&error);
  }
  if (backend == "gnome") {
    return GnomeWindowManager::Connect(&error);
  }
#else
  if (NeedsSessionBus(backend)) {
    error = "this part of pentrax2 has no D-Bus backends";
    return nullptr;
  }
#endif
  return OpenX11(error);
}
#endif

}  // namespace

std::vector<std::string_view> BackendNames() {
#ifdef _WIN32
  return {"win32"};
#else
  return {"sway", "kwin", "gnome", "x11"};
#endif
}

SessionBackend ChooseBackend() {
#ifdef _WIN32
  return {"win32", ""};
#else
  const DesktopSession session =
      ReadDesktopSession([](const char* name) { return std::getenv(name); });
  if (session.desktop == Desktop::kSway && SwaySessionAnswers(nullptr)) {
    return {"sway", ""};
  }
  if (!session.wayland) {
    return {"x11", ""};
  }
#if PENTRAX_DBUS_BACKENDS
  if (session.desktop == Desktop::kKde && KWinOnSessionBus()) {
    return {"kwin", ""};
  }
  if (session.desktop == Desktop::kGnome) {
    std::string why;
    if (auto gnome = GnomeWindowManager::Connect(&why)) {
      return {"gnome", "", std::move(gnome)};
    }
    return {"x11", why + kUntilThen};
  }
#endif
  return {"x11", kXWaylandOnly};
#endif
}

bool NeedsSessionBus(std::string_view backend) {
#ifdef _WIN32
  (void)backend;
  return false;
#else
  if (!backend.empty()) {
    return backend == "kwin" || backend == "gnome";
  }
  const DesktopSession session =
      ReadDesktopSession([](const char* name) { return std::getenv(name); });
  return session.wayland && (session.desktop == Desktop::kKde ||
                             session.desktop == Desktop::kGnome);
#endif
}

std::unique_ptr<WindowManager> CreateWindowManager(SessionBackend& session,
                                                   std::string& error) {
  return session.opened ? std::move(session.opened)
                        : CreateWindowManager(session.name, error);
}

std::unique_ptr<WindowManager> CreateWindowManager(std::string_view backend,
                                                   std::string& error) {
  if (backend.empty()) {
    SessionBackend session = ChooseBackend();
    return CreateWindowManager(session, error);
  }
  const auto names = BackendNames();
  if (std::find(names.begin(), names.end(), backend) == names.end()) {
    error = "no backend \"" + std::string(backend) + "\" in this build";
    return nullptr;
  }
  return Open(backend, error);
}

}  // namespace pentrax
