#include "kwin_session.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdlib>
#include <string_view>

namespace pentrax {

bool LooksLikeKdeWaylandSession(
    const std::function<const char*(const char*)>& getenv) {
  const auto is = [&](const char* name, std::string_view value) {
    const char* v = getenv(name);
    return v != nullptr && std::string_view(v) == value;
  };
  bool kde =
      is("XDG_SESSION_DESKTOP", "KDE") || getenv("KDE_FULL_SESSION") != nullptr;
  if (const char* desktops = getenv("XDG_CURRENT_DESKTOP")) {
    std::string_view rest(desktops);  // a colon-separated list
    while (!kde && !rest.empty()) {
      const auto colon = rest.find(':');
      kde = rest.substr(0, colon) == "KDE";
      rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
    }
  }
  const char* display = getenv("WAYLAND_DISPLAY");
  const bool wayland = is("XDG_SESSION_TYPE", "wayland") ||
                       (display != nullptr && *display != '\0');
  return kde && wayland;
}

bool KWinSessionAnswers() {
  if (!LooksLikeKdeWaylandSession(
          [](const char* name) { return std::getenv(name); })) {
    return false;
  }
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  return bus != nullptr &&
         bus->isServiceRegistered(QStringLiteral("org.kde.KWin")).value();
}

}  // namespace pentrax
