// The pick-and-act cycle: the user arms a sizing or a restoring, activates
// the window to act on, and one action follows on that window. The main
// window keeps the two push-style buttons and realises the timers; this part
// decides, driven by the window's ticks, when a window counts as picked, which
// window it is, and which action runs.
#pragma once

#include <optional>
#include <string>

#include "actions.h"
#include "ledger.h"
#include "ledger_store.h"
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
  // front is the user's pick (any window but Pentrax's own; also none, or a
  // desktop that does not answer). A pick is kept as TargetWindow for the
  // action, which Arm then arms.
  bool WatchForPick(WindowHandle mainWindow) {
    mainWindow_ = mainWindow;
    return TakePick();
  }

  // The pick was seen and its button released: Timer2 is to fire once.
  void Arm(bool restoreMode) {
    restoreMode_ = restoreMode;
    armed_ = true;
  }
  bool ArmedToSize() const { return armed_ && !restoreMode_; }

  // Timer2: runs the one action the pick armed (sizing or restoring) on
  // the window picked, and disarms. The report for txtResult, followed on a
  // line of its own by what the store had to say (a damaged file set aside,
  // one that cannot be read); nullopt when nothing was armed. The numeric
  // fields of the choices come back normalised after a sizing.
  // When none was in front at the pick (and the desktop answered), the pick
  // is the window in front now, unless it is Pentrax's own: Windows and
  // Wine have a moment with none while activation passes from Pentrax's
  // window to the one the user clicked.
  std::optional<std::string> Fire(SizeChoices& choices,
                                  std::int32_t screenWidth,
                                  std::int32_t screenHeight);

  // The placements are remembered in the store given here (one that every
  // Pentrax process of the session shares); until then in this process.
  // The store must outlive the cycle.
  void UseStore(LedgerStore& store) { store_ = &store; }

 private:
  // The window in front as the pick, unless it is Pentrax's own.
  bool TakePick();

  WindowManager& wm_;
  WindowHandle mainWindow_ = 0;
  bool armed_ = false;
  bool restoreMode_ = false;
  WindowHandle target_ = 0;
  std::string notAnswering_;  // why no window was picked, if the desktop was
  MemoryLedgerStore ownStore_;
  LedgerStore* store_ = &ownStore_;
};

}  // namespace pentrax
