// The messages between the backend and its agent inside KWin: requests are
// JSON objects with an "op", answers JSON objects with the window concerned
// (or null when there is none) or a work area. Rectangles travel as
// [x, y, width, height] in KWin's global coordinates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window_manager.h"

namespace pentrax {

// A window as the agent describes it.
struct KWinWindow {
  std::string uuid;
  std::string caption;
  std::string resourceClass;
  std::int64_t pid = 0;
  Rect frame;  // frame included
  // The client's own part; unknown for an X11 window on KWin 5.27, whose
  // scripts tell only its frame.
  std::optional<Rect> client;
  Rect area;    // the maximise area of the window's monitor
  Rect screen;  // the whole monitor, as a fullscreen window covers it
  bool minimized = false;
  bool fullScreen = false;
  bool tiled = false;  // quick tiled to a part of its monitor
  // 0 none, 1 vertical, 2 horizontal, 3 both; -1 where KWin does not say
  // (Plasma 5 scripts have no getter for it).
  int maximizeMode = -1;
  std::uint32_t x11Window = 0;  // an XWayland window's X id; 0 for others
  // The quick tile of a quick-tiled window ("Left", "TopRight"...; see
  // IsQuickTile); empty for any other.
  std::string tile;
};

// Whether the text names a quick tile: Left, Right, Top, Bottom, TopLeft,
// TopRight, BottomLeft or BottomRight.
bool IsQuickTile(std::string_view name);

std::string ActiveWindowRequest();
std::string ReadWindowRequest(const std::string& uuid);
// The active screen's work area and whole rectangle.
std::string WorkAreaRequest();
// The ordinary and dialog windows, or all of them.
std::string ListRequest(bool all);
// show: "normal", "maximized", "minimized", "fullscreen" or "tiled" (back to
// the tile the window had when the agent last described it, or where that
// agent never saw it tiled, to the quick tile named).
std::string PlaceWindowRequest(const std::string& uuid, const Rect& normal,
                               const std::string& show,
                               const std::string& tile = "");

// The window of an answer; nullopt when there is none, the answer is not
// understood or the agent reports an error. Numbers of any size or kind are
// read into rectangles that no sum can overflow.
std::optional<KWinWindow> WindowOfAnswer(const std::string& answer);
// The work area ("area") or the whole screen ("screen") of an answer to
// WorkAreaRequest.
std::optional<Rect> AreaOfAnswer(const std::string& answer, const char* member);
// The UUIDs of a list answer, in KWin's stacking order.
std::vector<std::string> WindowsOfAnswer(const std::string& answer);

}  // namespace pentrax
