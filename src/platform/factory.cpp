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

// The desktops with a backend of their own, and when a session gets it;
// every other session gets x11.
struct DesktopBackend {
  Desktop desktop;
  bool waylandOnly;  // not on the desktop's X11 session
  std::string_view name;
  bool sessionBus;  // talks D-Bus: a QCoreApplication must exist first
  // Whether the desktop answers for it; nullptr: when it can be opened (and
  // otherwise the user is told why).
  bool (*answers)();
};

constexpr DesktopBackend kDesktopBackends[] = {
    {Desktop::kSway, false, "sway", false,
     [] { return SwaySessionAnswers(nullptr); }},
#if PENTRAX_DBUS_BACKENDS
    {Desktop::kKde, true, "kwin", true, KWinOnSessionBus},
#else
    {Desktop::kKde, true, "kwin", true, nullptr},
#endif
    {Desktop::kGnome, true, "gnome", true, nullptr},
};

DesktopSession ThisSession() {
  return ReadDesktopSession([](const char* name) { return std::getenv(name); });
}

// The row of the session's desktop, if it has a backend of its own.
const DesktopBackend* BackendOf(const DesktopSession& session) {
  for (const DesktopBackend& row : kDesktopBackends) {
    if (row.desktop == session.desktop &&
        (session.wayland || !row.waylandOnly)) {
      return &row;
    }
  }
  return nullptr;
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

std::string BackendChoices() {
  const auto names = BackendNames();
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    list += std::string(i == 0                 ? ""
                        : i + 1 < names.size() ? ", "
                                               : " or ") +
            std::string(names[i]);
  }
  return list;
}

std::string UnknownBackend(std::string_view name) {
  const auto names = BackendNames();
  if (name.empty() ||
      std::find(names.begin(), names.end(), name) != names.end()) {
    return {};
  }
  return "no backend \"" + std::string(name) + "\": choose " +
         BackendChoices() + "; see --help";
}

SessionBackend ChooseBackend() {
#ifdef _WIN32
  return {"win32", ""};
#else
  const DesktopSession session = ThisSession();
  const DesktopBackend* own = BackendOf(session);
  if (own != nullptr && own->answers != nullptr && own->answers()) {
    return {std::string(own->name), ""};
  }
  if (own != nullptr && own->answers == nullptr) {
    std::string why;
    if (auto opened = Open(own->name, why)) {
      return {std::string(own->name), "", std::move(opened)};
    }
    return {"x11", why + kUntilThen};
  }
  return {"x11", session.wayland ? kXWaylandOnly : ""};
#endif
}

bool NeedsSessionBus(std::string_view backend) {
#ifdef _WIN32
  (void)backend;
  return false;
#else
  const DesktopBackend* row =
      backend.empty() ? BackendOf(ThisSession()) : nullptr;
  for (const DesktopBackend& named : kDesktopBackends) {
    row = named.name == backend ? &named : row;
  }
  return row != nullptr && row->sessionBus;
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
  error = UnknownBackend(backend);
  return error.empty() ? Open(backend, error) : nullptr;
}

}  // namespace pentrax
