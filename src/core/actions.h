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
inline constexpr std::string_view kNotRestored = "could not be restored";
// An action that ends without acting says so, so that an earlier report is
// never read as this action's outcome.
inline constexpr std::string_view kNotSized = "could not be sized";
inline constexpr std::string_view kSizeNotRead =
    "was resized, but its new size could not be read";
inline constexpr std::string_view kNothingSized =
    "No window was picked: nothing was sized";
inline constexpr std::string_view kNothingRestored =
    "No window was picked: nothing was restored";

inline constexpr int kTitleBufferSize = 256;

// The title as the reports show it: read into a buffer of 256 blanks; every
// control character (CR, LF, ESC, BEL, the other C0 codes and DEL) becomes a
// blank, so that a title cannot add lines of its own; then leading and
// trailing blanks are trimmed and every NUL is deleted.
std::string CleanTitle(std::string buffer);
std::string ReadCleanTitle(WindowManager& wm, WindowHandle window);

// Whether a window is Pentrax's own: its main window, or any other window of
// its process (the help box). The process is asked only about a handle that
// is not the main window's, so a tick with Pentrax in front stays cheap.
bool IsOwnWindow(WindowManager& wm, WindowHandle window,
                 WindowHandle mainWindow);

// What the actions share with the main window: the window system, the main
// window's own handle, the ledger, and TargetWindow, which each action sets to
// the foreground window it acts on.
struct ActionContext {
  WindowManager& wm;
  WindowHandle ownWindow;
  ResizedWindowLedger& ledger;
  WindowHandle& targetWindow;
};

// Sizes the foreground window to the target of the choices and returns the
// report. nullopt only when Pentrax's own window is in front (the user went
// back to it): then nothing is said. The numeric fields of the choices come
// back normalised.
std::optional<std::string> SizeAction(ActionContext ctx, SizeChoices& choices,
                                      std::int32_t screenWidth,
                                      std::int32_t screenHeight);

// Puts the foreground window back to the placement remembered in the ledger
// and returns the report; nullopt as for the size action.
std::optional<std::string> RestoreAction(ActionContext ctx);

}  // namespace pentrax
