// Scripts of a test's own, run inside KWin apart from the backend and its
// agent: for reading windows independently and for acting as a user would.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace pentrax::testing {

// Loads the script into KWin (5.27 or 6), runs it and returns the one value
// it passes to send(); throws when none comes within 5 s (a script that
// failed never reads as a window that is gone). In it, byCaption(text) finds
// a window, activate(window) activates it, describe(window) gives its
// {frame, active, tiled, id, minimized, fullScreen, maximized}, and areas()
// the active screen's work area and whole rectangle; rectangles as [left,
// top, right, bottom].
nlohmann::json RunKWinScript(const std::string& body);

}  // namespace pentrax::testing
