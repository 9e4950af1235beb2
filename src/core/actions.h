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

inline constexpr int kTitleBufferSize = 256;

// The title as the reports show it: read into a buffer of 256 blanks, trimmed
// of leading and trailing blanks, and with every NUL deleted.
std::string CleanTitle(std::string buffer);
std::string ReadCleanTitle(WindowManager& wm, WindowHandle window);

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
// report; nullopt when the action stopped without a word (the foreground
// window is the program's own or none, or its placement cannot be read).
// The numeric fields of the choices come back normalised.
std::optional<std::string> SizeAction(ActionContext ctx, SizeChoices& choices,
                                      std::int32_t screenWidth,
                                      std::int32_t screenHeight);

// Puts the foreground window back to the placement remembered in the ledger
// and returns the report; nullopt when the action stopped without a word.
std::optional<std::string> RestoreAction(ActionContext ctx);

}  // namespace pentrax
