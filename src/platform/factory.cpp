#include "factory.h"

#include <cstdlib>

#ifdef _WIN32
#include "win32_window_manager.h"
#else
#include "x11_window_manager.h"
#endif

namespace pentrax {
namespace {

#ifdef _WIN32
constexpr std::string_view kOwnBackend = "win32";

std::unique_ptr<WindowManager> Open(std::string&) {
  return std::make_unique<Win32WindowManager>();
}
#else
constexpr std::string_view kOwnBackend = "x11";

std::unique_ptr<WindowManager> Open(std::string& error) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    error =
        "no X display: Pentrax needs an X11 desktop (or XWayland under "
        "Wayland) and DISPLAY set";
    return nullptr;
  }
  return X11WindowManager::Connect(nullptr, &error);
}
#endif

}  // namespace

std::unique_ptr<WindowManager> CreateWindowManager(std::string_view backend,
                                                   std::string& error) {
  if (!backend.empty() && backend != kOwnBackend) {
    error = "no backend \"" + std::string(backend) + "\" in this build";
    return nullptr;
  }
  return Open(error);
}

}  // namespace pentrax
