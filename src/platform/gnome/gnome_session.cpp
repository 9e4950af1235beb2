#include "gnome_session.h"

#include "gnome_window_manager.h"

namespace pentrax {

bool GnomeExtensionAnswers() {
  return GnomeWindowManager::Connect(nullptr) != nullptr;
}

}  // namespace pentrax
