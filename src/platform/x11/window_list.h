// The client windows Pentrax could act on, as the window manager lists them:
// ordinary, dialog and utility windows (not the desktop, docks, menus or
// tool tips) of other programs than Pentrax, the topmost last.
#pragma once

#include <vector>

#include "connection.h"

namespace pentrax::x11 {

std::vector<xcb_window_t> ActionableClients(Connection& x);

}  // namespace pentrax::x11
