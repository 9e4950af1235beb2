#include "actions.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "numbers.h"

namespace pentrax {
namespace {

std::string Report(std::string title, std::string_view message) {
  title.append(kLineBreak);
  title.append(message);
  return title;
}

// An action that ends without acting says so, and why, so that an earlier
// report is never read as this action's outcome: "...: nothing was sized".
std::string NothingWas(bool sizing, const std::string& why) {
  return why + ": nothing was " + (sizing ? "sized" : "restored");
}

// After the name of what did not answer (WindowManager::NotAnswering).
std::string NoAnswer(const std::string& silent, bool sizing) {
  return NothingWas(sizing, silent + " did not answer") + ". Try again.";
}

// The report of an action whose latest call on the picked window failed: the
// desktop did not answer, the window is gone (closed before the action
// reached it), the backend refuses it outright (WhyNotListed), or it
// refused.
std::string CannotAct(WindowManager& wm, WindowHandle window, bool sizing,
                      std::optional<std::string> title = std::nullopt) {
  if (const std::string silent = wm.NotAnswering(); !silent.empty()) {
    return NoAnswer(silent, sizing);
  }
  if (!title) {
    title = ReadCleanTitle(wm, window);
    if (title->empty()) {
      const std::string why = wm.WhyNotListed(window);
      return NothingWas(
          sizing, "The window you picked " + (why.empty() ? "is gone" : why));
    }
  }
  return Report(std::move(*title),
                sizing ? "could not be sized" : "could not be restored");
}

// What both actions begin with: the window picked, handed what an earlier
// action on it, in any process, left the backend to know of it (WindowManager::
// PlacementDetail), and its placement now. False, with the report made, when
// there is no window to act on.
bool BeginAction(const ActionContext& ctx, bool sizing, std::string& identity,
                 WindowPlacement& placement, ActionResult& result) {
  if (ctx.target <= 0) {
    // Because the desktop did not answer, or because none was in front.
    result.report = ctx.notAnswering.empty()
                        ? NothingWas(sizing, "No window was picked")
                        : NoAnswer(ctx.notAnswering, sizing);
    return false;
  }
  identity = ctx.wm.WindowIdentity(ctx.target);
  const ResizedWindowRecord* e = ctx.ledger.EntryOf(ctx.target, identity);
  if (e != nullptr && !e->detail.empty()) {
    ctx.wm.TakePlacementDetail(ctx.target, e->detail);
  }
  if (ctx.wm.GetWindowPlacement(ctx.target, placement) <= 0) {
    result.report = CannotAct(ctx.wm, ctx.target, sizing);
    return false;
  }
  return true;
}

// The character that starts at text[i], and in `length` its UTF-8 bytes;
// a byte that starts no sequence of two to four bytes stands for itself.
char32_t CharacterAt(std::string_view text, std::size_t i,
                     std::size_t& length) {
  const auto byte = [&](std::size_t k) -> char32_t {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
  };
  const auto continues = [&](std::size_t k) {
    return (byte(k) & 0xC0) == 0x80;
  };
  const char32_t first = byte(i);
  if ((first & 0xE0) == 0xC0 && continues(i + 1)) {
    length = 2;
    return (first & 0x1F) << 6 | (byte(i + 1) & 0x3F);
  }
  if ((first & 0xF0) == 0xE0 && continues(i + 1) && continues(i + 2)) {
    length = 3;
    return (first & 0x0F) << 12 | (byte(i + 1) & 0x3F) << 6 |
           (byte(i + 2) & 0x3F);
  }
  if ((first & 0xF8) == 0xF0 && continues(i + 1) && continues(i + 2) &&
      continues(i + 3)) {
    length = 4;
    return (first & 0x07) << 18 | (byte(i + 1) & 0x3F) << 12 |
           (byte(i + 2) & 0x3F) << 6 | (byte(i + 3) & 0x3F);
  }
  length = 1;
  return first;
}

}  // namespace

std::string CleanTitle(std::string buffer) {
  std::string out;
  out.reserve(buffer.size());
  for (std::size_t i = 0, length = 1; i < buffer.size(); i += length) {
    const char32_t c = CharacterAt(buffer, i, length);
    const bool control = (c != 0 && c < 0x20) || (c >= 0x7F && c <= 0x9F) ||
                         c == 0x2028 || c == 0x2029;
    const bool bidiControl =
        (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    if (control) {
      out.push_back(' ');
    } else if (!bidiControl) {
      out.append(buffer, i, length);
    }
  }
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  out = out.substr(first, out.find_last_not_of(' ') - first + 1);
  std::erase(out, '\0');
  return out;
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

Refusal CheckTarget(WindowManager& wm, WindowHandle window) {
  WindowPlacement placement;
  if (window <= 0) {
    return Refusal::kGone;
  }
  if (wm.GetWindowPlacement(window, placement) <= 0) {
    // Not gone, but refused outright (WhyNotListed says why).
    return wm.NotAnswering().empty() && !wm.WhyNotListed(window).empty()
               ? Refusal::kNotListed
               : Refusal::kGone;
  }
  if (wm.IsOwnProcessWindow(window)) {
    return Refusal::kPentrax;
  }
  const std::vector<WindowHandle> listed = wm.ListWindows();
  return std::find(listed.begin(), listed.end(), window) != listed.end()
             ? Refusal::kNone
         : wm.NotAnswering().empty() ? Refusal::kNotListed
                                     : Refusal::kGone;
}

ActionResult SizeWindow(const ActionContext& ctx, SizeChoices& choices,
                        std::int32_t screenWidth, std::int32_t screenHeight) {
  ActionResult result;
  result.asked = AskedSize(choices);
  NormaliseInputs(choices.fields, screenWidth, screenHeight);
  result.target = TargetSize(choices);
  std::string identity;
  WindowPlacement placement;
  if (!BeginAction(ctx, true, identity, placement, result)) {
    return result;
  }
  const WindowHandle target = ctx.target;
  WindowManager& wm = ctx.wm;
  Rect workArea;
  const bool fit = wm.GetWorkArea(target, workArea);
  const std::optional<Insets> insets =
      ctx.content ? wm.GetFrameInsets(target) : Insets{};
  if (!insets) {
    result.report = CannotAct(wm, target, true);
    return result;
  }
  // Asked for the content, the window gets the desktop's frame around it.
  const Size outer{ClampToInt32(std::int64_t{result.target.width} +
                                insets->left + insets->right),
                   ClampToInt32(std::int64_t{result.target.height} +
                                insets->top + insets->bottom)};
  const WindowPlacement before = placement;

  const Rect& normal = before.rcNormalPosition;
  placement.length = kPlacementLength;
  placement.showCmd = kShowRestore;
  placement.ptMinPosition = {};
  placement.ptMaxPosition = {};
  // Without the work area the window keeps its place: an area that starts
  // there and has no end.
  const Rect area =
      fit ? workArea : Rect{normal.left, normal.top, INT32_MAX, INT32_MAX};
  placement.rcNormalPosition =
      FitIntoWorkArea(normal.left, normal.top, outer, area);
  if (wm.SetWindowPlacement(target, placement) <= 0) {
    // Nothing moved as asked: the ledger keeps what it had (a placement from
    // before an earlier sizing, or nothing for a window never sized).
    result.report = CannotAct(wm, target, true);
    return result;
  }
  ctx.ledger.RememberWindow(before, target, identity);
  ctx.ledger.SetDetail(target, wm.PlacementDetail(target));

  result.title = ReadCleanTitle(wm, target);
  WindowPlacement after;
  if (wm.GetWindowPlacement(target, after) <= 0) {
    result.report = Report(result.title, kSizeNotRead);
    result.outcome = Outcome::kInexact;
    return result;
  }
  result.after = after;
  const Rect& r = after.rcNormalPosition;
  const Size took{r.width() - insets->left - insets->right,
                  r.height() - insets->top - insets->bottom};
  result.took = took;
  result.outcome = took == result.asked ? Outcome::kDone : Outcome::kInexact;
  result.report =
      Report(result.title, std::string(kResizedTo) + NumberToText(took.width) +
                               " x " + NumberToText(took.height));
  return result;
}

std::string SizeAction(const ActionContext& ctx, SizeChoices& choices,
                       std::int32_t screenWidth, std::int32_t screenHeight) {
  return SizeWindow(ctx, choices, screenWidth, screenHeight).report;
}

ActionResult RestoreWindow(const ActionContext& ctx) {
  ActionResult result;
  std::string identity;
  WindowPlacement placement;
  if (!BeginAction(ctx, false, identity, placement, result)) {
    return result;
  }
  const WindowHandle target = ctx.target;
  WindowManager& wm = ctx.wm;
  result.title = ReadCleanTitle(wm, target);

  bool found = false;
  ctx.ledger.LookUpWindow(placement, target, found, identity);
  if (!found) {
    result.report = Report(result.title, kUnknownWindow);
    return result;
  }
  if (placement.showCmd == kRestoredMarker) {
    result.report = Report(result.title, kAlreadyRestored);
    return result;
  }
  placement.length = kPlacementLength;
  if (wm.SetWindowPlacement(target, placement) <= 0) {
    // The window was not put back: keep its remembered placement, unmarked,
    // so that the user can try again.
    ctx.ledger.RememberWindow(placement, target, identity);
    result.report = CannotAct(wm, target, false, result.title);
    return result;
  }
  ctx.ledger.SetDetail(target, wm.PlacementDetail(target));
  result.report = Report(result.title, kRestored);
  result.outcome = Outcome::kDone;
  WindowPlacement after;
  if (wm.GetWindowPlacement(target, after) > 0) {
    result.after = after;
  }
  return result;
}

std::string RestoreAction(const ActionContext& ctx) {
  return RestoreWindow(ctx).report;
}

}  // namespace pentrax
