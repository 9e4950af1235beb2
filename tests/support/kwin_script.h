// Scripts of a test's own inside KWin, apart from the backend's agent.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace pentrax::testing {

// Runs the script in KWin (5.27 or 6): the value it passes to send(); throws
// when none comes within 5 s (a failed script never reads as a window gone).
// It has byCaption(text), activate(w), describe(w) and areas() (the active
// screen's work area and whole rectangle); rectangles [left, top, right,
// bottom].
nlohmann::json RunKWinScript(const std::string& body);

}  // namespace pentrax::testing
