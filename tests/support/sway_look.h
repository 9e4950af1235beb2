// sway's own reading of its windows, from `swaymsg -t get_tree`: what the
// sway suites check every result with.
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
  return nlohmann::json::parse(Run("swaymsg -r " + args).value_or(""), nullptr,
                               false);
}

inline Rect Box(const nlohmann::json& b) {
  return {b["x"], b["y"], b["x"].get<int>() + b["width"].get<int>(),
          b["y"].get<int>() + b["height"].get<int>()};
}

// A window as sway's tree shows it: its state, its outer rectangle (title bar
// included), its content's size and its place.
struct Seen {
  int id;
  std::string title, type;
  int fullscreen;
  Rect outer;
  int contentWidth, contentHeight, parent;
  std::size_t index;
  int workspace;
  friend bool operator==(const Seen&, const Seen&) = default;
};

inline void Collect(const nlohmann::json& node, std::vector<Seen>& out,
                    int workspace = 0) {
  if (node.value("type", "") == "workspace") workspace = node["id"];
  for (const char* list : {"nodes", "floating_nodes"}) {
    for (std::size_t i = 0; node.contains(list) && i < node[list].size(); ++i) {
      const nlohmann::json& n = node[list][i];
      if (n.contains("pid")) {
        Rect outer = Box(n["rect"]);
        outer.top -= n["deco_rect"]["height"].get<int>();
        out.push_back({n["id"], n["name"], n["type"], n["fullscreen_mode"],
                       outer, n["window_rect"]["width"],
                       n["window_rect"]["height"], node["id"], i, workspace});
      }
      Collect(n, out, workspace);
    }
  }
}

// The first window that matches, as the tree shows it now.
inline std::optional<Seen> Look(const std::function<bool(const Seen&)>& match) {
  std::vector<Seen> all;
  const nlohmann::json tree = Swaymsg("-t get_tree");
  if (tree.is_object()) Collect(tree, all);
  const auto it = std::find_if(all.begin(), all.end(), match);
  return it != all.end() ? std::optional(*it) : std::nullopt;
}

}  // namespace pentrax::testing
