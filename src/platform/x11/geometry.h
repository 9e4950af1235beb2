// The arithmetic of X11 window geometry, as plain functions of plain values:
// what ICCCM size hints allow, the client request that gives a window a
// given outer rectangle, and the work area of one monitor. Nothing here talks
// to an X server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "window_manager.h"

namespace pentrax::x11 {

// The widths a decoration adds on each side (_NET_FRAME_EXTENTS), or the
// invisible shadow a client-side decorated window draws (_GTK_FRAME_EXTENTS).
struct Extents {
  std::int32_t left = 0, right = 0, top = 0, bottom = 0;
  friend bool operator==(const Extents&, const Extents&) = default;
};

// Extents from the four CARDINALs of a property; anything missing, or a value
// that would read as negative or absurd, is taken as none.
Extents ExtentsFrom(const std::vector<std::uint32_t>& values);

// How a client window is dressed: the window manager's frame, a client-side
// shadow, and the window's own X border.
struct Decoration {
  Extents frame;
  Extents gtk;
  std::int32_t borderWidth = 0;
  friend bool operator==(const Decoration&, const Decoration&) = default;
};

// The outer rectangle (what the user sees as the window, frame included,
// shadow excluded) of a client whose rectangle, X border included, is given.
Rect OuterRect(const Rect& client, const Decoration& d);

// The rectangle the frame window covers around such a client.
Rect FrameRect(const Rect& client, const Extents& frame);

// The client window's position and size to ask for so that its outer
// rectangle becomes `outer`; kept inside what the X protocol can carry.
struct ClientRequest {
  std::int32_t x = 0, y = 0, width = 1, height = 1;
  friend bool operator==(const ClientRequest&, const ClientRequest&) = default;
};
ClientRequest RequestFor(const Rect& outer, const Decoration& d);

// ICCCM WM_NORMAL_HINTS, as far as the allowed size needs them. The values
// are the client's own and may be anything a 32-bit field holds.
struct SizeHints {
  bool hasMin = false, hasMax = false, hasBase = false, hasInc = false;
  std::int32_t minWidth = 0, minHeight = 0;
  std::int32_t maxWidth = 0, maxHeight = 0;
  std::int32_t baseWidth = 0, baseHeight = 0;
  std::int32_t widthInc = 0, heightInc = 0;
};

struct ClientSize {
  std::int32_t width = 0, height = 0;
  friend bool operator==(const ClientSize&, const ClientSize&) = default;
};

// The client size that the hints let a window take when it is asked for
// `asked`: within the minimum and maximum, and a whole number of increments
// above the base size (rounded down, as window managers do). Hint values are
// first brought into the range a window can have.
ClientSize AllowedSize(const SizeHints& hints, ClientSize asked);

// _NET_WORKAREA's rectangle for the given desktop (the values of
// _NET_CURRENT_DESKTOP, empty for desktop 0); nullopt when it has none or an
// absurd one.
std::optional<Rect> WorkAreaEntry(const std::vector<std::uint32_t>& areas,
                                  const std::vector<std::uint32_t>& desktop);

// The parts of the screen's edges that a window reserves: the twelve values
// of _NET_WM_STRUT_PARTIAL (left, right, top, bottom widths, then the start
// and end of each along its edge), all in root coordinates.
struct Strut {
  std::int32_t left = 0, right = 0, top = 0, bottom = 0;
  std::int32_t leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
  std::int32_t topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;
  friend bool operator==(const Strut&, const Strut&) = default;
};

// The strut of a window from its _NET_WM_STRUT_PARTIAL, or else its older
// _NET_WM_STRUT (which reserves whole edges); nullopt when it has neither
// or reserves nothing.
std::optional<Strut> StrutFrom(const std::vector<std::uint32_t>& partial,
                               const std::vector<std::uint32_t>& whole,
                               const Rect& screen);

// Of the monitors, the one that holds the larger part of the window; when it
// is on none of them, `fallback`.
std::size_t MonitorOf(const std::vector<Rect>& monitors, const Rect& window,
                      std::size_t fallback);

// The work area of one monitor: its rectangle less the struts that fall on
// it. `netWorkArea` (_NET_WORKAREA, which spans all monitors) counts where it
// reserves more along an edge of the screen than the struts do: a panel that
// the window manager draws itself has no window with a strut.
Rect MonitorWorkArea(const Rect& monitor, const Rect& screen,
                     const std::vector<Strut>& struts, const Rect& netWorkArea);

}  // namespace pentrax::x11
