#include "cycle.h"

namespace pentrax {

std::optional<std::string> PickCycle::Fire(WindowHandle mainWindow,
                                           SizeChoices& choices,
                                           std::int32_t screenWidth,
                                           std::int32_t screenHeight) {
  if (!armed_) {
    return std::nullopt;
  }
  armed_ = false;
  const ActionContext ctx{wm_, mainWindow, ledger, TargetWindow};
  return RestoreMode ? RestoreAction(ctx)
                     : SizeAction(ctx, choices, screenWidth, screenHeight);
}

}  // namespace pentrax
