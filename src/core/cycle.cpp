#include "cycle.h"

namespace pentrax {

bool PickCycle::TakePick() {
  const WindowHandle front = wm_.GetForegroundWindow();
  if (IsOwnWindow(wm_, front, mainWindow_)) {
    return false;
  }
  target_ = front;
  notAnswering_ = front > 0 ? std::string() : wm_.NotAnswering();
  return true;
}

std::optional<std::string> PickCycle::Fire(SizeChoices& choices,
                                           std::int32_t screenWidth,
                                           std::int32_t screenHeight) {
  if (!armed_) {
    return std::nullopt;
  }
  armed_ = false;
  if (target_ <= 0 && notAnswering_.empty()) {
    TakePick();
  }
  std::string report;
  const std::string note = store_->Use([&](ResizedWindowLedger& ledger) {
    const ActionContext ctx{wm_, ledger, target_, notAnswering_};
    report = restoreMode_ ? RestoreAction(ctx)
                          : SizeAction(ctx, choices, screenWidth, screenHeight);
  });
  return note.empty() ? report : report + std::string(kLineBreak) + note;
}

}  // namespace pentrax
