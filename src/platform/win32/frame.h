// The Win32 backend's rectangle arithmetic, as plain functions of plain
// values: nothing here calls Windows, so it is tested on Linux too.
//
// On Windows 10 and 11 a window's rectangle (GetWindowRect, SetWindowPos,
// WINDOWPLACEMENT) holds invisible resize borders around the frame the user
// sees: about 7 pixels at the left, right and bottom at 96 DPI, more at
// higher DPIs. DWM tells the visible frame (DWMWA_EXTENDED_FRAME_BOUNDS).
// Pentrax sizes, fits and reports the visible frame, as on the other
// desktops; where DWM does not tell it (no composition, Wine), the window's
// rectangle is its visible frame and the borders are none.
#pragma once

#include <cstdint>

#include "window_manager.h"

namespace pentrax::win32 {

// The invisible borders of a window: how far its rectangle reaches beyond
// its visible frame on each side, both in the same coordinates. None when
// the frame is empty or does not lie inside the rectangle (DWM answered
// something else, or the window moved between the two readings).
Insets InvisibleBorders(const Rect& window, const Rect& visible);

// Borders measured on a monitor of one DPI as they are on a monitor of
// another (Windows scales a window's frame with its monitor's DPI): each
// side scaled and rounded to the nearest pixel. Unchanged when either DPI
// is unknown (0).
Insets BordersAtDpi(const Insets& borders, std::uint32_t from,
                    std::uint32_t to);

// The visible frame of a window rectangle, in the rectangle's coordinates.
Rect VisibleFrame(const Rect& window, const Insets& borders);

// The window rectangle in screen coordinates (SetWindowPos) that gives a
// window the visible frame `visible`, given in workspace coordinates, on a
// monitor whose workspace starts `offset` pixels right of and below its
// screen origin (the task bars at its left and top), with the borders the
// window has on that monitor. Kept within 32 bits.
Rect ScreenWindowRect(const Rect& visible, const Point& offset,
                      const Insets& borders);

}  // namespace pentrax::win32
