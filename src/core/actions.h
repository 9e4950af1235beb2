// The two actions that run when the user has picked a window: the size action
// and the restore action. They read the main window's values as plain values,
// act through the WindowManager and hand back the report for txtResult.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ledger.h"
#include "sizing.h"
#include "window_manager.h"

namespace pentrax {

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kResizedTo = "resized to ";
inline constexpr std::string_view kUnknownWindow =
    "is unknown and cannot be sized back";
inline constexpr std::string_view kRestored = "restored its original size";
inline constexpr std::string_view kAlreadyRestored =
    "original size has already been restored";
inline constexpr std::string_view kSizeNotRead =
    "was resized, but its new size could not be read";

inline constexpr int kTitleBufferSize = 256;

// The title as the reports show it: read into a buffer of 256 blanks; every
// control character (the C0 codes, DEL, the C1 codes U+0080 to U+009F, and
// a lone byte of that range) and every line or paragraph separator (U+2028,
// U+2029) becomes a blank, so that a title can neither add lines of its own
// nor send a terminal its commands, and the
// characters that open or close a bidirectional embedding, override or
// isolate (U+202A to U+202E, U+2066 to U+2069) are dropped, so that a title
// cannot turn the report's own words around; then leading and trailing
// blanks are trimmed and every NUL is deleted.
std::string CleanTitle(std::string buffer);
std::string ReadCleanTitle(WindowManager& wm, WindowHandle window);

// Whether a window is Pentrax's own: its main window, or any other window of
// its process (the help box). The process is asked only about a handle that
// is not the main window's, so a tick with Pentrax in front stays cheap.
bool IsOwnWindow(WindowManager& wm, WindowHandle window,
                 WindowHandle mainWindow);

// Why a command may not act on a window, where it names the window itself
// (by its number, or as the one in front) rather than picking it as the
// buttons do. The rule is the desktop's list (WindowManager::ListWindows):
// a window it does not list, such as a dock, a panel, the desktop or a
// window manager's frame, is one the buttons never act on either.
enum class Refusal {
  kNone,       // the command may act on it
  kGone,       // no such window (or the desktop did not answer)
  kPentrax,    // one of Pentrax's own windows
  kNotListed,  // not a program's ordinary or dialog window
};
Refusal CheckTarget(WindowManager& wm, WindowHandle window);

// What an action works with: the window system, the ledger, and
// TargetWindow, the window the user picked (0 or less: none was picked;
// notAnswering then names what did not answer when the pick was looked for,
// if that was the reason).
struct ActionContext {
  WindowManager& wm;
  ResizedWindowLedger& ledger;
  WindowHandle target = 0;
  std::string notAnswering = {};
  // The size asked for is the window's content: the frame, title bar and
  // borders the desktop draws are added (WindowManager::GetFrameInsets), and
  // the report gives the content's size.
  bool content = false;
};

// How an action ended: it did what was asked; it acted, but the window took
// another size (its own limits) or could not be read back; nothing was done.
enum class Outcome { kDone, kInexact, kNothing };

struct ActionResult {
  std::string report;  // for txtResult, lines joined by "\r\n"
  Outcome outcome = Outcome::kNothing;
  std::string title;                     // the window's, cleaned
  std::optional<WindowPlacement> after;  // read back after acting
  // A sizing's sizes (the content's when the content was asked for): what
  // the choices asked for (AskedSize), what Pentrax asked the desktop for
  // once the screen's limits and the minimum were applied (TargetSize), and
  // what the window took. kDone only when it took what was asked.
  Size asked;
  Size target;
  std::optional<Size> took;
};

// Sizes the picked window to the target of the choices, fitted into the work
// area of its monitor (where it stands when that cannot be read), and
// remembers its placement from before in the ledger once it has been
// sized. The numeric fields of the choices come back normalised.
ActionResult SizeWindow(const ActionContext& ctx, SizeChoices& choices,
                        std::int32_t screenWidth, std::int32_t screenHeight);
// The same, the report only.
std::string SizeAction(const ActionContext& ctx, SizeChoices& choices,
                       std::int32_t screenWidth, std::int32_t screenHeight);

// Puts the picked window back to the placement remembered in the ledger.
ActionResult RestoreWindow(const ActionContext& ctx);
std::string RestoreAction(const ActionContext& ctx);

}  // namespace pentrax
