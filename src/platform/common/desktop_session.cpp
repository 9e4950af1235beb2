#include "desktop_session.h"

#include <string_view>

namespace pentrax {
namespace {

bool Lists(std::string_view list, std::string_view name) {
  while (!list.empty()) {
    const auto colon = list.find(':');
    if (list.substr(0, colon) == name) {
      return true;
    }
    list = colon == std::string_view::npos ? "" : list.substr(colon + 1);
  }
  return false;
}

}  // namespace

DesktopSession ReadDesktopSession(
    const std::function<const char*(const char*)>& getenv) {
  const auto value = [&](const char* name) {
    const char* v = getenv(name);
    return std::string_view(v != nullptr ? v : "");
  };
  const std::string_view current = value("XDG_CURRENT_DESKTOP");
  DesktopSession s;
  s.wayland = !value("WAYLAND_DISPLAY").empty() ||
              value("XDG_SESSION_TYPE") == "wayland";
  if (!value("SWAYSOCK").empty()) {
    s.desktop = Desktop::kSway;
  } else if (Lists(current, "KDE") || value("XDG_SESSION_DESKTOP") == "KDE" ||
             !value("KDE_FULL_SESSION").empty()) {
    s.desktop = Desktop::kKde;
  } else if (Lists(current, "GNOME")) {
    s.desktop = Desktop::kGnome;
  }
  return s;
}

std::string DisplayKey(std::string_view backend,
                       const std::function<const char*(const char*)>& getenv) {
  const auto value = [&](const char* name) {
    const char* v = getenv(name);
    return std::string(v != nullptr ? v : "");
  };
  std::string key(backend);
  if (backend == "x11") {
    std::string display = value("DISPLAY");
    const std::size_t colon = display.rfind(':');
    const std::size_t dot =
        display.find('.', colon == std::string::npos ? 0 : colon);
    if (colon != std::string::npos && dot != std::string::npos) {
      display.erase(dot);
    }
    if (display.starts_with("unix:")) {
      display.erase(0, 4);
    }
    return key + " " + display;
  }
  if (backend == "sway") {
    return key + " " + value("SWAYSOCK");
  }
  return key + " " + value("DBUS_SESSION_BUS_ADDRESS") + " " +
         value("WAYLAND_DISPLAY");
}

}  // namespace pentrax
