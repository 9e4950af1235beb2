// Any answer in the place of the KWin agent's: read as a window, a work area
// or nothing, without a crash or undefined behaviour, and what is read
// leads to sound placements.
#include <cstddef>
#include <cstdint>
#include <string>

#include "kwin_protocol.h"
#include "kwin_window_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string answer(reinterpret_cast<const char*>(data), size);
  (void)pentrax::WorkAreaOfAnswer(answer);
  const auto window = pentrax::WindowOfAnswer(answer);
  if (!window) {
    return 0;
  }
  const std::int32_t show = pentrax::ShowStateOf(*window);
  (void)pentrax::ShowOfPlacement(show);
  (void)pentrax::FrameAfterPlacing(*window, show, window->frame);
  (void)pentrax::PlaceWindowRequest(window->uuid, window->frame,
                                    pentrax::ShowOfPlacement(show));
  if (window->frame.width() < 0 || window->frame.height() < 0) {
    __builtin_trap();  // the reading must give no negative sizes
  }
  return 0;
}
