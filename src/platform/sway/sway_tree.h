// What the backend reads of sway's layout tree (the reply to get_tree): every
// window with its state, its outer rectangle, the workspace that holds it and
// its neighbours in a tiled layout. All rectangles are in sway's layout
// coordinates, whose origin is the top-left corner of the whole layout.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "window_manager.h"

namespace pentrax {

// Where a window is shown: the rect of the workspace (which leaves out bars
// and gaps) and that of the output that shows it.
struct SwayOutputRects {
  Rect workArea;
  Rect monitor;
};

struct SwayView {
  WindowHandle id = 0;  // the node id (con_id)
  std::int64_t pid = 0;
  std::string name;   // the title, UTF-8
  std::string appId;  // app_id, or the X class of an XWayland window
  bool xwayland = false;
  bool focused = false;
  bool floating = false;
  bool fullscreen = false;
  bool hidden = false;  // in the scratchpad, out of sight
  Rect outer;           // the node with its title bar and borders
  Rect content;         // the client's own part of it
  WindowHandle workspace = 0;
  std::string workspaceName;
  bool workspaceOnView = true;  // its output shows its workspace
  // One of several windows in a container that floats (not floating
  // itself, and tiled only within that container).
  bool inFloatingContainer = false;
  SwayOutputRects shownOn;  // its workspace's and output's
  // In a tiled layout: the container that holds it (a workspace, or a split,
  // stacked or tabbed container), the nodes just before and after it there
  // (windows or containers; 0 where there is none), whether they are
  // windows, and the direction in which the parent lays out its children.
  WindowHandle parent = 0;
  WindowHandle previous = 0;
  WindowHandle next = 0;
  bool previousIsView = false;
  bool nextIsView = false;
  bool verticalParent = false;
};

struct SwayLayout {
  std::vector<SwayView> views;
  // The rects of the workspace that has the focus and of its output: where
  // windows outside any workspace (in the scratchpad) appear.
  SwayOutputRects focusedWorkspace;
  // Every tiled node (window or container) and the node that holds it.
  std::map<WindowHandle, WindowHandle> parents;

  const SwayView* Find(WindowHandle id) const;
  // Where the window is shown, or the focused workspace for a window out of
  // sight (in the scratchpad) or not found.
  const SwayOutputRects& ShownOn(WindowHandle id) const;
  // The focused window; nullptr when the focus is on something else (an
  // empty workspace, a container of several windows).
  const SwayView* Focused() const;
};

// Reads the reply to get_tree; nullopt when it is not a tree of sway's.
// Anything else of the reply (members missing or of another type, numbers out
// of range, nesting beyond any real layout) reads as absent; nothing throws.
std::optional<SwayLayout> ReadLayout(const nlohmann::json& tree);

}  // namespace pentrax
