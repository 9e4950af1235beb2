// Whether KWin is at hand on the session bus: for choosing the KWin backend
// on a KDE session (desktop_session.h tells the session).
#pragma once

namespace pentrax {

// org.kde.KWin is on the session bus. Cheap: one call to the bus, none to
// KWin.
bool KWinOnSessionBus();

}  // namespace pentrax
