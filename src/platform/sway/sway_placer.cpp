#include "sway_placer.h"

namespace pentrax {
namespace {

std::string Criteria(WindowHandle id) {
  return "[con_id=" + std::to_string(id) + "] ";
}

}  // namespace

SwayTiledPlace TiledPlaceOf(const SwayView& view) {
  return {view.parent,         view.previous,   view.next,
          view.previousIsView, view.nextIsView, view.verticalParent};
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
  std::string c = Criteria(view.id);
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
  // A window that stops floating goes after the tiled window that has the
  // focus, or last into the container that has it. From the end of a
  // container, a move in its parent's direction takes it out, to just after
  // the container; a swap puts it before a neighbour it went after.
  const auto still = [&](WindowHandle neighbour) {
    const auto it = layout.parents.find(neighbour);
    return place != nullptr && neighbour != 0 && it != layout.parents.end() &&
           it->second == place->parent;
  };
  const auto into = [&](WindowHandle neighbour, bool isView) {
    c += Criteria(neighbour) + "focus; " + self + "floating disable; ";
    if (!isView) {
      c += self + (place->vertical ? "move down; " : "move right; ");
    }
  };
  if (still(place ? place->previous : 0)) {
    into(place->previous, place->previousIsView);
  } else if (still(place ? place->next : 0)) {
    into(place->next, place->nextIsView);
    c += self + "swap container with con_id " + std::to_string(place->next) +
         "; ";
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
