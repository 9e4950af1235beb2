// What the agent's description of a window means for a placement: the show
// state, the frame a placement leads to, and when the window has settled.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "kwin_protocol.h"
#include "window_manager.h"

namespace pentrax {

// Minimised, fullscreen, maximised or normal. Where KWin does not tell the
// maximised state, a window whose frame fills its maximise area counts as
// maximised.
std::int32_t ShowStateOf(const KWinWindow& window);

// The "show" of a placement request for a placement record's show state.
std::string ShowOfPlacement(std::int32_t showCmd);

// The frame the window has once a placement with this show state and normal
// rectangle has been carried out; nullopt when there is nothing to wait for
// (a minimised window is not drawn and may keep its old size for now).
std::optional<Rect> FrameAfterPlacing(const KWinWindow& window,
                                      std::int32_t showCmd, const Rect& normal);

// Whether a window asked for a new frame is done: it has the frame it was
// asked for, or it has taken another one (a client may limit or round its
// size) and kept it for kQuiet.
class SettleWatch {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuiet{100};

  SettleWatch(const Rect& expected, const Rect& now, Clock::time_point when);
  bool Settled(const Rect& frame, Clock::time_point when);

 private:
  Rect expected_;
  Rect last_;
  bool changed_ = false;
  Clock::time_point lastChange_;
};

}  // namespace pentrax
