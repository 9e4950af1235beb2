#include "gnome_session.h"

#include <cstdlib>

#include "gnome_window_manager.h"
#include "shell_protocol.h"

namespace pentrax {

GnomeSession ProbeGnomeSession() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  if (desktop == nullptr || !gnome::IsGnomeDesktop(desktop)) {
    return GnomeSession::kNotGnome;
  }
  return GnomeWindowManager::Connect(nullptr) != nullptr
             ? GnomeSession::kExtensionAnswers
             : GnomeSession::kExtensionMissing;
}

}  // namespace pentrax
