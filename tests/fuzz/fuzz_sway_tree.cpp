// Any reply in sway's place: the backend reads it as a layout, or as none,
// and builds its commands from what it read, without a crash, an exception
// or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sway_placer.h"
#include "sway_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const auto tree = nlohmann::json::parse(data, data + size, nullptr, false);
  const auto layout = pentrax::ReadLayout(tree);
  if (!layout) {
    return 0;
  }
  for (const pentrax::SwayView& view : layout->views) {
    const pentrax::SwayTiledPlace place = pentrax::TiledPlaceOf(view);
    (void)pentrax::FloatAtCommand(view, view.outer);
    (void)pentrax::ReturnToTiledCommand(view, &place, *layout);
    for (const std::int32_t show :
         {pentrax::kShowMaximized, pentrax::kShowFullscreen,
          pentrax::kShowMinimized, pentrax::ShowStateOf(view)}) {
      (void)pentrax::ShowStateCommand(view, show, &place, *layout);
    }
  }
  return 0;
}
