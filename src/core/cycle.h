// The pick-and-act cycle: the user arms a sizing or a restoring, activates
// the window to act on, and one action follows. The main window keeps the two
// push-style buttons and realises the timers; this part decides, driven by
// the window's ticks, when a window counts as picked and which action runs.
#pragma once

#include <optional>
#include <string>

#include "actions.h"
#include "ledger.h"
#include "sizing.h"
#include "window_manager.h"

namespace pentrax {

class PickCycle {
 public:
  // Timer2 fires this long after the tick that saw the pick.
  static constexpr int kTimer2Interval = 400;

  explicit PickCycle(WindowManager& wm) : wm_(wm) {}

  // A button became pressed: the watch for the pick begins.
  void ButtonPressed() { wm_.StartForegroundWatch(); }
  // Neither button is pressed any more: the watch ends.
  void ButtonsReleased() { wm_.StopForegroundWatch(); }

  // The foreground watch, for the one pressed button: whether the window in
  // front is the user's pick. Any window but Pentrax's own is, also none.
  bool ForegroundIsPick(WindowHandle mainWindow) {
    return !IsOwnWindow(wm_, wm_.GetForegroundWindow(), mainWindow);
  }

  // The pick was seen and its button released: Timer2 is to fire once.
  void Arm(bool restoreMode) {
    RestoreMode = restoreMode;
    armed_ = true;
  }
  bool armed() const { return armed_; }

  // Timer2: runs the one action the pick armed, per RestoreMode, and
  // disarms. The report for txtResult; nullopt when there is nothing to say
  // (Pentrax's own window in front, or nothing armed). The numeric fields of
  // the choices come back normalised after a sizing.
  std::optional<std::string> Fire(WindowHandle mainWindow, SizeChoices& choices,
                                  std::int32_t screenWidth,
                                  std::int32_t screenHeight);

  bool RestoreMode = false;
  WindowHandle TargetWindow = 0;
  ResizedWindowLedger ledger;

 private:
  WindowManager& wm_;
  bool armed_ = false;
};

}  // namespace pentrax
