#include "sway_tree.h"

#include <string_view>

namespace pentrax {
namespace {

using nlohmann::json;

// The workspace that holds the scratchpad's hidden windows.
constexpr std::string_view kScratchpad = "__i3_scratch";

std::int64_t Number(const json& node, const char* key) {
  const auto it = node.find(key);
  return it != node.end() && it->is_number_integer() ? it->get<std::int64_t>()
                                                     : 0;
}

std::string Text(const json& node, const char* key) {
  const auto it = node.find(key);
  return it != node.end() && it->is_string() ? it->get<std::string>() : "";
}

bool Flag(const json& node, const char* key) {
  const auto it = node.find(key);
  return it != node.end() && it->is_boolean() && it->get<bool>();
}

const json& Child(const json& node, const char* key) {
  static const json kNone = json::object();
  const auto it = node.find(key);
  return it != node.end() && it->is_object() ? *it : kNone;
}

const json& List(const json& node, const char* key) {
  static const json kNone = json::array();
  const auto it = node.find(key);
  return it != node.end() && it->is_array() ? *it : kNone;
}

std::int32_t Int32(const json& node, const char* key) {
  return static_cast<std::int32_t>(Number(node, key));
}

// A {x, y, width, height} object as a rectangle.
Rect Box(const json& box) {
  const std::int32_t x = Int32(box, "x");
  const std::int32_t y = Int32(box, "y");
  return {x, y, x + Int32(box, "width"), y + Int32(box, "height")};
}

bool IsView(const json& node) {
  const std::string type = Text(node, "type");
  return (type == "con" || type == "floating_con") && node.contains("pid");
}

// The window's rect leaves out its title bar, which deco_rect measures.
Rect Outer(const json& node) {
  Rect r = Box(Child(node, "rect"));
  r.top -= Int32(Child(node, "deco_rect"), "height");
  return r;
}

struct Walk {
  SwayLayout& layout;

  void Node(const json& node, const json* workspace, bool floating) {
    if (Text(node, "type") == "workspace") {
      workspace = &node;
    }
    if (IsView(node) && workspace != nullptr) {
      AddView(node, *workspace, floating);
    }
    Children(node, "nodes", workspace, false);
    Children(node, "floating_nodes", workspace, true);
  }

  void Children(const json& parent, const char* key, const json* workspace,
                bool floating) {
    const json& list = List(parent, key);
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::size_t before = layout.views.size();
      Node(list[i], workspace, floating);
      if (floating || before == layout.views.size() ||
          layout.views[before].id != Number(list[i], "id")) {
        continue;
      }
      SwayView& v = layout.views[before];
      if (i > 0 && IsView(list[i - 1])) {
        v.previous = Int32(list[i - 1], "id");
      }
      if (i + 1 < list.size() && IsView(list[i + 1])) {
        v.next = Int32(list[i + 1], "id");
      }
      v.verticalParent = Text(parent, "orientation") == "vertical";
    }
  }

  void AddView(const json& node, const json& workspace, bool floating) {
    SwayView v;
    v.id = Int32(node, "id");
    v.pid = Number(node, "pid");
    v.name = Text(node, "name");
    v.xwayland = Text(node, "shell") == "xwayland";
    v.appId = v.xwayland ? Text(Child(node, "window_properties"), "class")
                         : Text(node, "app_id");
    v.focused = Flag(node, "focused");
    v.floating = floating || Text(node, "type") == "floating_con";
    v.fullscreen = Number(node, "fullscreen_mode") != 0;
    v.hidden = Text(workspace, "name") == kScratchpad;
    v.outer = Outer(node);
    v.workspace = Int32(workspace, "id");
    v.workArea = Box(Child(workspace, "rect"));
    layout.views.push_back(std::move(v));
  }
};

// Follows each node's most recently focused child down to a workspace.
Rect FocusedWorkArea(const json& tree) {
  const json* node = &tree;
  for (int depth = 0; depth < 8; ++depth) {
    if (Text(*node, "type") == "workspace") {
      return Box(Child(*node, "rect"));
    }
    const json& focus = List(*node, "focus");
    const json* next = nullptr;
    for (const json& child : List(*node, "nodes")) {
      if (!focus.empty() && focus[0] == child.value("id", json())) {
        next = &child;
      }
    }
    if (next == nullptr) {
      break;
    }
    node = next;
  }
  return {};
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
  Walk{layout}.Node(tree, nullptr, false);
  layout.focusedWorkArea = FocusedWorkArea(tree);
  return layout;
}

}  // namespace pentrax
