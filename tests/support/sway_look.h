// sway's own reading of its windows (`swaymsg -t get_tree`).
#pragma once

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "x_session.h"

namespace pentrax::testing {

inline nlohmann::json Swaymsg(const std::string& args) {
  return nlohmann::json::parse(Run("timeout 5 swaymsg -r " + args).value_or(""),
                               nullptr, false);
}

inline Rect Box(const nlohmann::json& b) {
  return {b["x"], b["y"], b["x"].get<int>() + b["width"].get<int>(),
          b["y"].get<int>() + b["height"].get<int>()};
}

// A window in sway's tree: outer includes the title bar; hidden: in the
// scratchpad.
struct Seen {
  int id;
  std::string title, type;
  int fullscreen;
  Rect outer;
  int contentWidth, contentHeight, parent;
  std::size_t index;
  int workspace;
  Insets insets;
  bool hidden, focused;
  friend bool operator==(const Seen&, const Seen&) = default;
};

inline void Collect(const nlohmann::json& node, std::vector<Seen>& out,
                    int workspace = 0, bool hidden = false) {
  if (node.value("type", "") == "workspace") {
    workspace = node["id"];
    hidden = node.value("name", "") == "__i3_scratch";
  }
  for (const char* list : {"nodes", "floating_nodes"}) {
    for (std::size_t i = 0; node.contains(list) && i < node[list].size(); ++i) {
      const nlohmann::json& n = node[list][i];
      if (n.contains("pid")) {
        Rect outer = Box(n["rect"]);
        const int deco = n["deco_rect"]["height"];
        outer.top -= deco;
        const Rect w = Box(n["window_rect"]);  // within rect
        out.push_back({n["id"], n["name"], n["type"], n["fullscreen_mode"],
                       outer, w.width(), w.height(), node["id"], i, workspace,
                       Insets{w.left, deco + w.top, outer.width() - w.right,
                              outer.height() - deco - w.bottom},
                       hidden, n.value("focused", false)});
      }
      Collect(n, out, workspace, hidden);
    }
  }
}

inline std::optional<Seen> Look(const std::function<bool(const Seen&)>& match) {
  std::vector<Seen> all;
  const nlohmann::json tree = Swaymsg("-t get_tree");
  if (tree.is_object()) Collect(tree, all);
  const auto it = std::find_if(all.begin(), all.end(), match);
  return it != all.end() ? std::optional(*it) : std::nullopt;
}

}  // namespace pentrax::testing
