// Whether Pentrax runs in a GNOME session, and whether its GNOME Shell
// extension answers there: for choosing the backend, and for telling the
// user to install and enable the extension when it does not.
#pragma once

namespace pentrax {

enum class GnomeSession {
  kNotGnome,          // XDG_CURRENT_DESKTOP does not name GNOME
  kExtensionMissing,  // GNOME, but the extension does not answer
  kExtensionAnswers,  // GNOME with the extension enabled
};

// Reads XDG_CURRENT_DESKTOP and, in a GNOME session, makes one short call
// to the extension.
GnomeSession ProbeGnomeSession();

}  // namespace pentrax
