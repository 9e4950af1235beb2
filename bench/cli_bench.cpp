// What sizing a window from the command line costs, from the start of the
// process to the window seen at its new size by the desktop's own reading:
// `pentrax2 size WxH --window ID` beside the tools one would otherwise use,
// on the same window, turn about, every run a new size. Run in a private
// session by scripts/bench-cli.sh; prints a markdown table (median and 90th
// percentile of each).
//
//   cli_bench x11 PENTRAX2 TEST_WINDOW [RUNS]   xdotool windowsize --sync,
//                                               wmctrl -e
//   cli_bench sway PENTRAX2 QT_WINDOW [RUNS]    swaymsg resize set
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "run_program.h"

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

// A desktop's own reading of the window: its outer size and what a tool
// asks for in its own terms.
struct Desktop {
  std::function<std::optional<Size>()> outer;
  std::function<std::optional<Size>()> inner;  // what the other tools size
};

Desktop X11(xcb_connection_t* c, xcb_window_t w) {
  const auto extents = [c, w]() -> std::vector<std::uint32_t> {
    auto atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, 18, "_NET_FRAME_EXTENTS"), nullptr);
    auto p = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom->atom, XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    free(atom);
    std::vector<std::uint32_t> e(4, 0);
    if (p && xcb_get_property_value_length(p) == 16) {
      const auto* v = static_cast<std::uint32_t*>(xcb_get_property_value(p));
      e.assign(v, v + 4);
    }
    free(p);
    return e;
  };
  const auto client = [c, w]() -> std::optional<Size> {
    auto g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (!g) return std::nullopt;
    const Size s{g->width + 2 * g->border_width,
                 g->height + 2 * g->border_width};
    free(g);
    return s;
  };
  const auto e = extents();
  return {[client, e]() -> std::optional<Size> {
            const auto s = client();
            if (!s) return s;
            return Size{s->width + static_cast<int>(e[0] + e[1]),
                        s->height + static_cast<int>(e[2] + e[3])};
          },
          client};
}

std::optional<json> Tree() {
  std::string out;
  return RunProgram({"swaymsg", "-r", "-t", "get_tree"}, &out)
             ? std::optional(json::parse(out, nullptr, false))
             : std::nullopt;
}

const json* Find(const json& node, long id) {
  if (!node.is_object()) return nullptr;
  if (node.value("id", 0L) == id) return &node;
  for (const char* list : {"nodes", "floating_nodes"}) {
    const auto children = node.find(list);
    if (children == node.end() || !children->is_array()) continue;
    for (const json& child : *children) {
      if (const json* found = Find(child, id)) return found;
    }
  }
  return nullptr;
}

Desktop Sway(long id) {
  const auto read = [id](bool outer) -> std::optional<Size> {
    const auto tree = Tree();
    const json* n = tree && tree->is_object() ? Find(*tree, id) : nullptr;
    if (n == nullptr) return std::nullopt;
    const json r = n->value("rect", json::object());
    const json deco = n->value("deco_rect", json::object());
    return Size{r.value("width", 0),
                r.value("height", 0) + (outer ? deco.value("height", 0) : 0)};
  };
  return {[read] { return read(true); }, [read] { return read(false); }};
}

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: cli_bench x11|sway PENTRAX2 WINDOW [RUNS]\n");
    return 2;
  }
  const std::string desktop = argv[1], pentrax2 = argv[2];
  const int runs = argc > 4 ? std::atoi(argv[4]) : 30;
  std::string id;
  Desktop reading;
  xcb_connection_t* c = nullptr;
  std::string out;
  // The target window: the test window on X11, the Qt window on sway.
  pid_t window = 0;
  std::vector<char*> args;
  const std::vector<std::string> start =
      desktop == "x11"
          ? std::vector<std::string>{argv[3], "--geometry", "300x200+50+50"}
          : std::vector<std::string>{"env", "QT_QPA_PLATFORM=wayland", argv[3],
                                     "benchwindow"};
  int fds[2];
  if (pipe(fds) != 0) return 1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  for (const auto& a : start) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnp(&window, args[0], &actions, nullptr, args.data(), environ);
  close(fds[1]);
  if (desktop == "x11") {
    char line[32] = {};
    if (read(fds[0], line, sizeof line - 1) <= 0) return 1;
    const auto w = static_cast<xcb_window_t>(std::stoul(line, nullptr, 16));
    id = std::to_string(w);
    c = xcb_connect(nullptr, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // framed
    reading = X11(c, w);
  } else {
    for (int i = 0; i < 200 && id.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      const auto tree = Tree();
      std::function<void(const json&)> look = [&](const json& n) {
        if (!n.is_object()) return;
        if (n.value("name", json("")) == "benchwindow")
          id = std::to_string(n.value("id", 0L));
        for (const char* l : {"nodes", "floating_nodes"})
          for (const json& k : n.value(l, json::array())) look(k);
      };
      if (tree && tree->is_object()) look(*tree);
    }
    if (id.empty()) return 1;
    RunProgram({"swaymsg", "[con_id=" + id + "] floating enable"});
    reading = Sway(std::stol(id));
  }
  // The tools: the command, and whether it asks for the outer size.
  struct Tool {
    std::string name;
    std::function<std::vector<std::string>(Size)> command;
    bool outer;
  };
  std::vector<Tool> tools = {{"pentrax2 size WxH --window ID",
                              [&](Size s) {
                                return std::vector<std::string>{
                                    pentrax2, "size",
                                    std::to_string(s.width) + "x" +
                                        std::to_string(s.height),
                                    "--window", id};
                              },
                              true}};
  if (desktop == "x11") {
    tools.push_back({"xdotool windowsize --sync",
                     [&](Size s) {
                       return std::vector<std::string>{
                           "xdotool",
                           "windowsize",
                           "--sync",
                           id,
                           std::to_string(s.width),
                           std::to_string(s.height)};
                     },
                     false});
    tools.push_back({"wmctrl -e, until it has the size",
                     [&](Size s) {
                       return std::vector<std::string>{
                           "wmctrl",
                           "-i",
                           "-r",
                           id,
                           "-e",
                           "0,-1,-1," + std::to_string(s.width) + "," +
                               std::to_string(s.height)};
                     },
                     false});
  } else {
    tools.push_back({"swaymsg resize set, until it has the size",
                     [&](Size s) {
                       return std::vector<std::string>{
                           "swaymsg", "[con_id=" + id + "] resize set " +
                                          std::to_string(s.width) + " " +
                                          std::to_string(s.height)};
                     },
                     true});  // the size with the title bar, as sway sets it
  }
  std::printf(
      "| command, until the window has the size | median | 90th percentile "
      "|\n|---|---|---|\n");
  const Size sizes[] = {{800, 600}, {640, 480}};
  std::vector<std::vector<double>> ms(tools.size());
  for (int n = 0; n < 2 * runs; ++n) {
    for (std::size_t t = 0; t < tools.size(); ++t) {
      const Size want = sizes[(n + static_cast<int>(t)) % 2];
      const auto t0 = Clock::now();
      if (!RunProgram(tools[t].command(want))) {
        std::fprintf(stderr, "%s failed\n", tools[t].name.c_str());
        return 1;
      }
      const auto& read = tools[t].outer ? reading.outer : reading.inner;
      bool reached = false;
      while (!(reached = read() == want) &&
             Clock::now() - t0 < std::chrono::seconds(2)) {
      }
      if (!reached) {
        std::fprintf(stderr, "%s: the window did not take %dx%d\n",
                     tools[t].name.c_str(), want.width, want.height);
        return 1;
      }
      if (n >= 2) {  // the first runs warm the caches
        ms[t].push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - t0)
                .count());
      }
    }
  }
  for (std::size_t t = 0; t < tools.size(); ++t) {
    std::printf("| %s | %.1f ms | %.1f ms |\n", tools[t].name.c_str(),
                Quantile(ms[t], 0.5), Quantile(ms[t], 0.9));
  }
  kill(window, SIGTERM);
  if (c) xcb_disconnect(c);
  return 0;
}
