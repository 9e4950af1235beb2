// Opening the window system's backend: the one place that knows which
// backends a build has.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "window_manager.h"

namespace pentrax {

// Opens the named backend ("x11", "win32"), or the build's own when the
// name is empty: Win32 on Windows, X11 elsewhere. Returns nullptr, with a
// one-line reason in error, when it cannot be opened (for example with no X
// display).
std::unique_ptr<WindowManager> CreateWindowManager(std::string_view backend,
                                                   std::string& error);

}  // namespace pentrax
