// The commands, in sway's command language, that give a window the show state
// and rectangle of a placement record, and that put a window that was tiled
// back in its tiled place. Plain text: the window manager sends it.
//
// sway has no maximised or minimised windows: a tiled window stands for a
// maximised one (it fills its share of the workspace), a window hidden in
// the scratchpad for a minimised one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sway_tree.h"
#include "window_manager.h"

namespace pentrax {

// Where a tiled window stood before it was floated: the container that held
// it and its neighbours there.
struct SwayTiledPlace {
  WindowHandle parent = 0;
  WindowHandle previous = 0;
  WindowHandle next = 0;
  bool previousIsView = false;
  bool nextIsView = false;
  bool vertical = false;  // the parent lays out its children top to bottom
};

SwayTiledPlace TiledPlaceOf(const SwayView& view);

// A tiled place as a part of a placement detail ("p PARENT PREVIOUS NEXT
// FLAGS"), and back; nullopt when the detail holds no sound one.
std::string TiledPlaceDetail(const SwayTiledPlace& place);
std::optional<SwayTiledPlace> TiledPlaceOfDetail(std::string_view detail);

// The show state a placement record gives the window as it is now.
std::int32_t ShowStateOf(const SwayView& view);

// Floats the window at the outer rectangle (title bar and borders included),
// out of full screen and out of the scratchpad. sway's floating size limits
// are the user's settings and stay as they are: a window they stop takes
// less (by default the limit is the whole layout, beyond any work area).
std::string FloatAtCommand(const SwayView& view, const Rect& outer);

// Tiles the window again at its old place in the container that held it,
// when a neighbour it had there is still there (else where sway puts a
// window that stops floating), and leaves it focused.
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
