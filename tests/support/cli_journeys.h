// The command line's journeys on a real desktop, the same on every one:
// each command's outcome is read by the desktop's own means, never by
// Pentrax.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "sizing.h"
#include "window_manager.h"

namespace pentrax::testing {

struct JourneyDesktop {
  std::string pentrax2;  // the program, with any environment before it
  // The window's outer rectangle and the size of its content, as the
  // desktop tells them.
  std::function<std::optional<Rect>()> outer;
  std::function<std::optional<Size>()> content;
  // Brings the window to the front as a user would, and returns once the
  // desktop has it there.
  std::function<void()> activate;
};

// Sizes the window by its number and in front, with its content asked for,
// restores it in later processes, and asks for what cannot be done.
void CommandLineJourneys(const JourneyDesktop& desktop, WindowHandle window);

}  // namespace pentrax::testing
