#include "actions.h"

#include <algorithm>

#include "numbers.h"

namespace pentrax {
namespace {

// The foreground window, or 0 when the action must not touch it: there is
// none, or it is the program's own window.
WindowHandle PickTarget(ActionContext& ctx) {
  ctx.targetWindow = ctx.wm.GetForegroundWindow();
  if (ctx.targetWindow == ctx.ownWindow || ctx.targetWindow <= 0) {
    return 0;
  }
  return ctx.targetWindow;
}

std::string Report(std::string title, std::string_view message) {
  title.append(kLineBreak);
  title.append(message);
  return title;
}

}  // namespace

std::string CleanTitle(std::string buffer) {
  const auto first = buffer.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  buffer = buffer.substr(first, buffer.find_last_not_of(' ') - first + 1);
  std::erase(buffer, '\0');
  return buffer;
}

std::string ReadCleanTitle(WindowManager& wm, WindowHandle window) {
  std::string buffer(kTitleBufferSize, ' ');
  wm.GetWindowText(window, buffer.data(), kTitleBufferSize);
  return CleanTitle(std::move(buffer));
}

std::optional<std::string> SizeAction(ActionContext ctx, SizeChoices& choices,
                                      std::int32_t screenWidth,
                                      std::int32_t screenHeight) {
  NormaliseInputs(choices.fields, screenWidth, screenHeight);
  const Size size = TargetSize(choices);

  const WindowHandle target = PickTarget(ctx);
  if (target == 0) {
    return std::nullopt;
  }
  Rect workArea;
  ctx.wm.GetWorkArea(target, workArea);
  WindowPlacement placement;
  if (ctx.wm.GetWindowPlacement(target, placement) <= 0) {
    return std::nullopt;
  }
  ctx.ledger.RememberWindow(placement, target, ctx.wm.WindowIdentity(target));

  placement.length = kPlacementLength;
  placement.showCmd = kShowRestore;
  placement.ptMinPosition = {};
  placement.ptMaxPosition = {};
  placement.rcNormalPosition =
      FitIntoWorkArea(placement.rcNormalPosition.left,
                      placement.rcNormalPosition.top, size, workArea);
  ctx.wm.SetWindowPlacement(target, placement);

  std::string title = ReadCleanTitle(ctx.wm, target);

  WindowPlacement after;
  if (ctx.wm.GetWindowPlacement(target, after) <= 0) {
    return std::nullopt;
  }
  const Rect& r = after.rcNormalPosition;
  return Report(std::move(title), std::string(kResizedTo) +
                                      NumberToText(r.width()) + " x " +
                                      NumberToText(r.height()));
}

std::optional<std::string> RestoreAction(ActionContext ctx) {
  const WindowHandle target = PickTarget(ctx);
  if (target == 0) {
    return std::nullopt;
  }
  WindowPlacement placement;
  if (ctx.wm.GetWindowPlacement(target, placement) <= 0) {
    return std::nullopt;
  }
  std::string title = ReadCleanTitle(ctx.wm, target);
  const std::string identity = ctx.wm.WindowIdentity(target);

  bool found = false;
  ctx.ledger.LookUpWindow(placement, target, found, identity);
  if (!found) {
    return Report(std::move(title), kUnknownWindow);
  }
  if (placement.showCmd == kRestoredMarker) {
    return Report(std::move(title), kAlreadyRestored);
  }
  placement.length = kPlacementLength;
  if (ctx.wm.SetWindowPlacement(target, placement) <= 0) {
    // The window was not put back: keep its remembered placement, unmarked,
    // so that the user can try again.
    ctx.ledger.RememberWindow(placement, target, identity);
    return Report(std::move(title), kNotRestored);
  }
  return Report(std::move(title), kRestored);
}

}  // namespace pentrax
