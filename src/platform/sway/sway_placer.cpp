#include "sway_placer.h"

namespace pentrax {
namespace {

std::string Criteria(WindowHandle id) {
  return "[con_id=" + std::to_string(id) + "] ";
}

// A neighbour that a window can be tiled next to again.
bool StillTiledBeside(const SwayLayout& layout, WindowHandle neighbour,
                      WindowHandle workspace) {
  const SwayView* v = neighbour != 0 ? layout.Find(neighbour) : nullptr;
  return v != nullptr && !v->floating && !v->hidden &&
         v->workspace == workspace;
}

}  // namespace

SwayTiledPlace TiledPlaceOf(const SwayView& view) {
  return {view.workspace, view.previous, view.next, view.verticalParent};
}

std::int32_t ShowStateOf(const SwayView& view) {
  if (view.hidden) {
    return kShowMinimized;
  }
  if (view.fullscreen) {
    return kShowFullscreen;
  }
  return view.floating ? kShowNormal : kShowMaximized;
}

std::string FloatAtCommand(const SwayView& view, const Rect& outer) {
  // resize set keeps the window's centre, so the size comes before the move;
  // both work on the outer rectangle.
  std::string c = "floating_maximum_size -1 x -1; " + Criteria(view.id);
  if (view.hidden) {
    c += "scratchpad show, ";
  }
  return c + "fullscreen disable, floating enable, resize set " +
         std::to_string(outer.width()) + " " + std::to_string(outer.height()) +
         ", move absolute position " + std::to_string(outer.left) + " " +
         std::to_string(outer.top);
}

std::string ReturnToTiledCommand(const SwayView& view,
                                 const SwayTiledPlace* place,
                                 const SwayLayout& layout) {
  const std::string self = Criteria(view.id);
  std::string c;
  if (view.hidden) {
    c += self + "scratchpad show; ";
  }
  // A window that stops floating is tiled just after the tiled window that
  // had the focus last: focus the neighbour first.
  if (place != nullptr &&
      StillTiledBeside(layout, place->previous, view.workspace)) {
    c += Criteria(place->previous) + "focus; " + self + "floating disable; ";
  } else if (place != nullptr &&
             StillTiledBeside(layout, place->next, view.workspace)) {
    c += Criteria(place->next) + "focus; " + self + "floating disable; " +
         self + (place->vertical ? "move up; " : "move left; ");
  } else {
    c += self + "floating disable; ";
  }
  return c + self + "focus";
}

std::string ShowStateCommand(const SwayView& view, std::int32_t showCmd,
                             const SwayTiledPlace* place,
                             const SwayLayout& layout) {
  const std::string self = Criteria(view.id);
  switch (showCmd) {
    case kShowMaximized:
      if (view.fullscreen) {
        return self + "fullscreen disable" +
               (view.floating ? "; " + ReturnToTiledCommand(view, place, layout)
                              : std::string());
      }
      return view.floating ? ReturnToTiledCommand(view, place, layout) : "";
    case kShowFullscreen:
      if (view.fullscreen) {
        return "";
      }
      // Tiled again first if it was tiled when it was floated.
      return (view.floating && place != nullptr
                  ? ReturnToTiledCommand(view, place, layout) + "; "
                  : std::string()) +
             self + "fullscreen enable";
    case kShowMinimized:
      return view.hidden ? "" : self + "move scratchpad";
    default:
      return "";
  }
}

}  // namespace pentrax
