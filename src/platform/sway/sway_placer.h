// The commands, in sway's command language, that give a window the show state
// and rectangle of a placement record, and that put a window that was tiled
// back in its tiled place. Plain text: the window manager sends it.
//
// sway has no maximised or minimised windows: a tiled window stands for a
// maximised one (it fills its share of the workspace), a window hidden in
// the scratchpad for a minimised one.
#pragma once

#include <string>

#include "sway_tree.h"
#include "window_manager.h"

namespace pentrax {

// Where a tiled window stood before it was floated: its neighbours.
struct SwayTiledPlace {
  WindowHandle workspace = 0;
  WindowHandle previous = 0;
  WindowHandle next = 0;
  bool vertical = false;
};

SwayTiledPlace TiledPlaceOf(const SwayView& view);

// The show state a placement record gives the window as it is now.
std::int32_t ShowStateOf(const SwayView& view);

// Floats the window at the outer rectangle (title bar and borders included),
// out of full screen and out of the scratchpad. The floating size limit is
// lifted first: the default keeps floating windows within the output.
std::string FloatAtCommand(const SwayView& view, const Rect& outer);

// Tiles the window again, next to the neighbour it had when it was floated
// when that neighbour is still tiled on the same workspace (else where sway
// puts a window that stops floating), and leaves it focused.
std::string ReturnToTiledCommand(const SwayView& view,
                                 const SwayTiledPlace* place,
                                 const SwayLayout& layout);

// The command for a placement record's show state, for the window as it is
// now; empty for a state that floats the window (FloatAtCommand) and for a
// window that has the state already. place: where the window was tiled, if
// known.
std::string ShowStateCommand(const SwayView& view, std::int32_t showCmd,
                             const SwayTiledPlace* place,
                             const SwayLayout& layout);

}  // namespace pentrax
