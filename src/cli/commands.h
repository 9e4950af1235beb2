// The commands of the command line, carried out through the same core
// actions as the window's buttons: size, restore, query and list. Plain C++;
// the program hands in the window system, the shared placements, the
// window's saved choices and where to write.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "command_line.h"
#include "ledger_store.h"
#include "sizing.h"
#include "window_manager.h"

namespace pentrax::cli {

// Exit statuses.
inline constexpr int kDone = 0;     // done as asked
inline constexpr int kInexact = 1;  // sized, but the window took another size
inline constexpr int kUsage = 2;    // a command line not understood
inline constexpr int kNothing = 3;  // nothing was done

struct Environment {
  WindowManager& wm;
  LedgerStore& placements;
  // The size, border and task bar chosen in Pentrax's window (its saved
  // settings, read as the window reads them), on a monitor of this size.
  std::function<SizeChoices(std::int32_t monitorWidth,
                            std::int32_t monitorHeight)>
      savedChoices;
  std::function<void(std::string_view)> out;  // standard output
  std::function<void(std::string_view)> err;  // standard error
  // Waits between two looks at the foreground window (--window pick);
  // false when the command is to stop instead (a signal came).
  std::function<bool(int milliseconds)> sleep;
};

// Carries out a command (not kWindow) and returns the exit status. With
// --json, standard output gets one JSON object whatever the outcome
// (pentrax2(1) lists its fields).
int Run(const Options& options, Environment& env);

// The JSON answer of a command that could not be carried out at all (no
// desktop to act through): its outcome "nothing", the error given. Without
// a command (a command line not understood), the outcome is "usage".
std::string FailureAnswer(const Options* options, std::string_view error);

}  // namespace pentrax::cli
