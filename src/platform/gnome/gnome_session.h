// Whether Pentrax's GNOME Shell extension answers in this GNOME session: for
// choosing the backend, and for telling the user to enable the extension
// when it does not (desktop_session.h tells the session).
#pragma once

namespace pentrax {

// One short call to the extension.
bool GnomeExtensionAnswers();

}  // namespace pentrax
