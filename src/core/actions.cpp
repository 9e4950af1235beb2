#include "actions.h"

#include <algorithm>

#include "numbers.h"

namespace pentrax {
namespace {

enum class Pick { kWindow, kOwn, kNone };

// Takes the foreground window as TargetWindow and tells what it is.
Pick PickTarget(ActionContext& ctx) {
  ctx.targetWindow = ctx.wm.GetForegroundWindow();
  if (ctx.targetWindow == ctx.ownWindow) {
    return Pick::kOwn;
  }
  if (ctx.targetWindow <= 0) {
    return Pick::kNone;
  }
  return ctx.wm.IsOwnProcessWindow(ctx.targetWindow) ? Pick::kOwn
                                                     : Pick::kWindow;
}

std::string Report(std::string title, std::string_view message) {
  title.append(kLineBreak);
  title.append(message);
  return title;
}

}  // namespace

std::string CleanTitle(std::string buffer) {
  for (char& c : buffer) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte != 0 && byte < 0x20) || byte == 0x7F) {
      c = ' ';
    }
  }
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

bool IsOwnWindow(WindowManager& wm, WindowHandle window,
                 WindowHandle mainWindow) {
  return window == mainWindow || (window > 0 && wm.IsOwnProcessWindow(window));
}

std::optional<std::string> SizeAction(ActionContext ctx, SizeChoices& choices,
                                      std::int32_t screenWidth,
                                      std::int32_t screenHeight) {
  NormaliseInputs(choices.fields, screenWidth, screenHeight);
  const Size size = TargetSize(choices);

  switch (PickTarget(ctx)) {
    case Pick::kOwn:
      return std::nullopt;
    case Pick::kNone:
      return std::string(kNothingSized);
    case Pick::kWindow:
      break;
  }
  const WindowHandle target = ctx.targetWindow;
  Rect workArea;
  ctx.wm.GetWorkArea(target, workArea);
  WindowPlacement placement;
  if (ctx.wm.GetWindowPlacement(target, placement) <= 0) {
    return Report(ReadCleanTitle(ctx.wm, target), kNotSized);
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
    return Report(std::move(title), kSizeNotRead);
  }
  const Rect& r = after.rcNormalPosition;
  return Report(std::move(title), std::string(kResizedTo) +
                                      NumberToText(r.width()) + " x " +
                                      NumberToText(r.height()));
}

std::optional<std::string> RestoreAction(ActionContext ctx) {
  switch (PickTarget(ctx)) {
    case Pick::kOwn:
      return std::nullopt;
    case Pick::kNone:
      return std::string(kNothingRestored);
    case Pick::kWindow:
      break;
  }
  const WindowHandle target = ctx.targetWindow;
  WindowPlacement placement;
  const bool read = ctx.wm.GetWindowPlacement(target, placement) > 0;
  std::string title = ReadCleanTitle(ctx.wm, target);
  if (!read) {
    return Report(std::move(title), kNotRestored);
  }
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
