// The commands of the command line, carried out through the same core
// actions as the window's buttons: size, restore, query and list. Plain C++;
// the program hands in the window system, the shared placements, the
// window's saved choices and where to write.
#pragma once

#include <functional>
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
  // Waits between two looks at the foreground window (--window pick).
  std::function<void(int milliseconds)> sleep;
};

// Carries out a command (not kWindow) and returns the exit status.
int Run(const Options& options, Environment& env);

}  // namespace pentrax::cli
