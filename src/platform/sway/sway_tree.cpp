#include "sway_tree.h"

#include <string_view>

#include "box_rect.h"
#include "json_fields.h"

namespace pentrax {
namespace {

using nlohmann::json;
using namespace json_fields;

// The workspace that holds the scratchpad's hidden windows.
constexpr std::string_view kScratchpad = "__i3_scratch";
// Far deeper than any layout a user builds: output, workspace and a few
// levels of containers.
constexpr int kDeepestNode = 64;

const json& Child(const json& node, const char* key) {
  static const json kNone = json::object();
  const json* v = Member(node, key);
  return v != nullptr && v->is_object() ? *v : kNone;
}

const json& List(const json& node, const char* key) {
  static const json kNone = json::array();
  const json* v = Member(node, key);
  return v != nullptr && v->is_array() ? *v : kNone;
}

// A {x, y, width, height} object as a rectangle; grown upwards by `above`.
Rect Box(const json& box, double above = 0) {
  return RectFromBox(Number(box, "x"), Number(box, "y") - above,
                     Number(box, "width"), Number(box, "height") + above);
}

bool IsView(const json& node) {
  const std::string type = Text(node, "type");
  return (type == "con" || type == "floating_con") &&
         Member(node, "pid") != nullptr;
}

// The window's rect leaves out its title bar, which deco_rect measures.
Rect Outer(const json& node) {
  return Box(Child(node, "rect"), Number(Child(node, "deco_rect"), "height"));
}

bool LaysOutVertically(const json& node) {
  const std::string layout = Text(node, "layout");
  return layout == "splitv" || layout == "stacked";
}

struct Walk {
  SwayLayout& layout;

  const json* output = nullptr;  // the output above the node walked

  // floating: the node floats; afloat: a node above it floats.
  void Node(const json& node, const json* workspace, bool floating, bool afloat,
            int depth) {
    if (depth > kDeepestNode) {
      return;
    }
    if (Text(node, "type") == "output") {
      output = &node;
    }
    if (Text(node, "type") == "workspace") {
      workspace = &node;
    }
    if (IsView(node) && workspace != nullptr) {
      AddView(node, *workspace, floating, afloat);
    }
    Children(node, "nodes", workspace, false, afloat || floating, depth);
    Children(node, "floating_nodes", workspace, true, false, depth);
  }

  void Children(const json& parent, const char* key, const json* workspace,
                bool floating, bool afloat, int depth) {
    const json& list = List(parent, key);
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::size_t before = layout.views.size();
      const WindowHandle id = Int32(list[i], "id");
      if (!floating && workspace != nullptr) {
        layout.parents[id] = Int32(parent, "id");
      }
      Node(list[i], workspace, floating, afloat, depth + 1);
      if (floating || before == layout.views.size() ||
          layout.views[before].id != id) {
        continue;
      }
      SwayView& v = layout.views[before];
      v.parent = Int32(parent, "id");
      if (i > 0) {
        v.previous = Int32(list[i - 1], "id");
        v.previousIsView = IsView(list[i - 1]);
      }
      if (i + 1 < list.size()) {
        v.next = Int32(list[i + 1], "id");
        v.nextIsView = IsView(list[i + 1]);
      }
      v.verticalParent = LaysOutVertically(parent);
    }
  }

  void AddView(const json& node, const json& workspace, bool floating,
               bool afloat) {
    SwayView v;
    v.id = Int32(node, "id");
    const json* pid = Member(node, "pid");
    v.pid = pid->is_number_integer() ? pid->get<std::int64_t>() : 0;
    v.name = Text(node, "name");
    v.xwayland = Text(node, "shell") == "xwayland";
    v.appId = v.xwayland ? Text(Child(node, "window_properties"), "class")
                         : Text(node, "app_id");
    v.focused = Flag(node, "focused");
    v.floating = floating || Text(node, "type") == "floating_con";
    v.fullscreen = Number(node, "fullscreen_mode") != 0;
    v.hidden = Text(workspace, "name") == kScratchpad;
    v.outer = Outer(node);
    const json& rect = Child(node, "rect");
    const json& inner = Child(node, "window_rect");
    v.content = RectFromBox(Number(rect, "x") + Number(inner, "x"),
                            Number(rect, "y") + Number(inner, "y"),
                            Number(inner, "width"), Number(inner, "height"));
    v.workspace = Int32(workspace, "id");
    v.workspaceName = Text(workspace, "name");
    v.workspaceOnView = output == nullptr ||
                        Text(*output, "current_workspace") == v.workspaceName;
    v.inFloatingContainer = afloat && !v.floating;
    const Rect area = Box(Child(workspace, "rect"));
    v.shownOn = {area, output != nullptr ? Box(Child(*output, "rect")) : area};
    layout.views.push_back(std::move(v));
  }
};

// Follows each node's most recently focused child down to a workspace: its
// rect, and that of the output that shows it.
void FindFocusedWorkspace(const json& tree, SwayLayout& layout) {
  const json* node = &tree;
  for (int depth = 0; depth < 8; ++depth) {
    if (Text(*node, "type") == "output") {
      layout.focusedWorkspace.monitor = Box(Child(*node, "rect"));
    }
    if (Text(*node, "type") == "workspace") {
      layout.focusedWorkspace.workArea = Box(Child(*node, "rect"));
      return;
    }
    const json& focus = List(*node, "focus");
    const json* next = nullptr;
    for (const json& child : List(*node, "nodes")) {
      if (!focus.empty() && focus[0].is_number() &&
          Member(child, "id") != nullptr && focus[0] == *Member(child, "id")) {
        next = &child;
      }
    }
    if (next == nullptr) {
      break;
    }
    node = next;
  }
}

}  // namespace

const SwayView* SwayLayout::Find(WindowHandle id) const {
  for (const SwayView& v : views) {
    if (v.id == id) {
      return &v;
    }
  }
  return nullptr;
}

const SwayOutputRects& SwayLayout::ShownOn(WindowHandle id) const {
  const SwayView* v = Find(id);
  return v != nullptr && !v->hidden ? v->shownOn : focusedWorkspace;
}

const SwayView* SwayLayout::Focused() const {
  for (const SwayView& v : views) {
    if (v.focused) {
      return &v;
    }
  }
  return nullptr;
}

std::optional<SwayLayout> ReadLayout(const json& tree) {
  if (!tree.is_object() || Text(tree, "type") != "root") {
    return std::nullopt;
  }
  SwayLayout layout;
  Walk{layout}.Node(tree, nullptr, false, false, 0);
  FindFocusedWorkspace(tree, layout);
  return layout;
}

}  // namespace pentrax
