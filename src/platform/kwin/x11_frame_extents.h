// What KWin draws around an XWayland window, as KWin tells X clients: the
// window's _NET_FRAME_EXTENTS, read through XWayland ($DISPLAY). For KWin
// 5.27, whose scripts tell an X11 window's frame but not its client.
#pragma once

#include <cstdint>
#include <optional>

#include "window_manager.h"

namespace pentrax {

// All 0 for a window without the property; nullopt when the X display
// cannot be opened.
std::optional<Insets> X11FrameExtents(std::uint32_t window);

}  // namespace pentrax
