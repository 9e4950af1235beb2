#include "kwin_session.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace pentrax {

bool KWinOnSessionBus() {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  return bus != nullptr &&
         bus->isServiceRegistered(QStringLiteral("org.kde.KWin")).value();
}

}  // namespace pentrax
