// What the agent's description of a window means for a placement: the show
// state, and the frame a placement leads to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kwin_protocol.h"
#include "window_manager.h"

namespace pentrax {

// Minimised, fullscreen, maximised, tiled or normal. Where KWin does not
// tell the maximised state, a window whose frame fills its maximise area
// counts as maximised.
std::int32_t ShowStateOf(const KWinWindow& window);

// The "show" of a placement request for a placement record's show state.
std::string ShowOfPlacement(std::int32_t showCmd);

// The frame the window has once a placement with this show state and normal
// rectangle has been carried out; nullopt when it is not known beforehand
// (a tile's frame) or there is nothing to wait for (a minimised window is not
// drawn and may keep its old size for now).
std::optional<Rect> FrameAfterPlacing(const KWinWindow& window,
                                      std::int32_t showCmd, const Rect& normal);

}  // namespace pentrax
