#include "sway_placer.h"

#include <unistd.h>

#include "placed_normals.h"

namespace pentrax {
namespace {

std::string Criteria(WindowHandle id) {
  return "[con_id=" + std::to_string(id) + "] ";
}

// A name that no workspace or mark of the user's has: for a moment, a
// restore marks a neighbour with it, and a sizing moves a window through a
// workspace of that name.
std::string Passing() { return "pentrax2-" + std::to_string(getpid()); }

// Moves the window to its own workspace: back from the workspace on view,
// or (through another, as a move to its own workspace leaves it where it
// is) out of a floating container.
std::string ToItsWorkspace(const SwayView& view) {
  std::string name;
  for (const char c : view.workspaceName) {
    name += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
  }
  return (view.inFloatingContainer
              ? "move container to workspace " + Passing() + ", "
              : std::string()) +
         "move container to workspace \"" + name + "\"";
}

}  // namespace

SwayTiledPlace TiledPlaceOf(const SwayView& view) {
  return {view.parent,         view.previous,   view.next,
          view.previousIsView, view.nextIsView, view.verticalParent};
}

std::string TiledPlaceDetail(const SwayTiledPlace& p) {
  const int flags = (p.previousIsView ? 1 : 0) | (p.nextIsView ? 2 : 0) |
                    (p.vertical ? 4 : 0);
  return "p " + std::to_string(p.parent) + " " + std::to_string(p.previous) +
         " " + std::to_string(p.next) + " " + std::to_string(flags);
}

std::optional<SwayTiledPlace> TiledPlaceOfDetail(std::string_view detail) {
  const auto n = DetailNumbers(detail, 'p', 4);
  if (!n || (*n)[0] <= 0 || (*n)[1] < 0 || (*n)[2] < 0 || (*n)[3] < 0 ||
      (*n)[3] > 7) {
    return std::nullopt;
  }
  return SwayTiledPlace{(*n)[0],
                        (*n)[1],
                        (*n)[2],
                        ((*n)[3] & 1) != 0,
                        ((*n)[3] & 2) != 0,
                        ((*n)[3] & 4) != 0};
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
  // both work on the outer rectangle. A window in a floating container
  // leaves it first (floating applies to the whole container). A move to a
  // position takes the window to the workspace on view there: one on
  // another workspace goes back to its own.
  std::string c = Criteria(view.id);
  if (view.hidden) {
    c += "scratchpad show, ";
  }
  if (view.inFloatingContainer) {
    c += ToItsWorkspace(view) + ", ";
  }
  c += "fullscreen disable, floating enable, resize set " +
       std::to_string(outer.width()) + " " + std::to_string(outer.height()) +
       ", move absolute position " + std::to_string(outer.left) + " " +
       std::to_string(outer.top);
  if (!view.hidden && !view.workspaceOnView) {
    c += ", " + ToItsWorkspace(view);
  }
  return c + (view.inFloatingContainer && view.focused ? ", focus" : "");
}

std::string ReturnToTiledCommand(const SwayView& view,
                                 const SwayTiledPlace* place,
                                 const SwayLayout& layout) {
  const std::string self = Criteria(view.id);
  std::string c;
  if (view.hidden) {
    c += self + "scratchpad show; ";
  }
  c += self + "floating disable; ";
  // Next to a neighbour it had there, through a mark on it for a moment:
  // after a window, or last into a container and from its end out of it in
  // the parent's direction, to just after the container; a swap puts it
  // before a neighbour it went after.
  const auto still = [&](WindowHandle neighbour) {
    const auto it = layout.parents.find(neighbour);
    return place != nullptr && neighbour != 0 && it != layout.parents.end() &&
           it->second == place->parent;
  };
  const auto after = [&](WindowHandle neighbour, bool isView) {
    c += Criteria(neighbour) + "mark --add " + Passing() + "; " + self +
         "move container to mark " + Passing() + "; " + Criteria(neighbour) +
         "unmark " + Passing() + "; ";
    if (!isView) {
      c += self + (place->vertical ? "move down; " : "move right; ");
    }
  };
  if (still(place ? place->previous : 0)) {
    after(place->previous, place->previousIsView);
  } else if (still(place ? place->next : 0)) {
    after(place->next, place->nextIsView);
    c += self + "swap container with con_id " + std::to_string(place->next) +
         "; ";
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
