// What sizing a window from the command line costs, from the start of the
// process: `pentrax2 size WxH --window ID` of one or more builds (before and
// after a change, in the same run), each build's `--version` (the start
// alone), `--help` and `list` (where the rest goes), and beside them the tools
// one would otherwise use on the same window, turn about, every run a new size.
// Run in a private session by scripts/bench-cli.sh; prints a markdown table
// (median and 90th percentile of each), then the libraries each build's command
// and --version load.
//
//   cli_bench DESKTOP WINDOW RUNS [NAME=]PENTRAX2...
//
// DESKTOP and WINDOW, the program of the window to size:
//   x11    the test window; beside: wmctrl -e alone (it does not wait),
//          wmctrl -e followed by the same settle check as Pentrax's (the X11
//          backend's), xdotool windowsize --sync
//   sway   the Qt window; beside: swaymsg resize set alone, and until sway's
//          tree shows the size
//   kwin, gnome   the Qt window, on Wayland
// On X11 and sway a command's time runs until the desktop's own reading
// shows the size (pentrax2 has waited for it already); on KWin and GNOME
// until pentrax2 exits, having read the size back (a reading through a
// script of the bench's own would cost more than the command).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "run_program.h"
#include "x11_probe.h"
#include "x11_window_manager.h"

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

// A desktop's own reading of the window: its outer size, and the size the
// other tools ask for in their own terms.
struct Reading {
  std::function<std::optional<Size>()> outer;
  std::function<std::optional<Size>()> inner;
};

Reading X11(xcb_connection_t* c, xcb_window_t w) {
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

Reading Sway(long id) {
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

std::string Text(Size s, const char* between) {
  return std::to_string(s.width) + between + std::to_string(s.height);
}

// The libraries a command loads (the dynamic loader's own account), and
// how many of them.
std::string Loaded(const std::string& command) {
  std::string out;
  RunProgram({"sh", "-c",
              "LD_DEBUG=files " + command +
                  " 2>&1 >/dev/null | sed -n 's/.*file=\\([^ ]*\\) .*/\\1/p' "
                  "| sed 's,.*/,,; s/\\.so.*//' | sort -u"},
             &out);
  std::istringstream lines(out);
  int count = 0;
  std::string qt, ours;
  for (std::string l; std::getline(lines, l); ++count) {
    if (l.starts_with("libQt6")) qt += (qt.empty() ? "" : ", ") + l.substr(6);
    if (l.starts_with("libpentrax2-")) ours += " " + l;
  }
  return std::to_string(count) + " (Qt: " + (qt.empty() ? "none" : qt) + ")" +
         (ours.empty() ? "" : "; loads" + ours);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: cli_bench x11|sway|kwin|gnome WINDOW RUNS "
                 "[NAME=]PENTRAX2...\n");
    return 2;
  }
  const std::string desktop = argv[1];
  const int runs = std::atoi(argv[3]);
  std::vector<std::pair<std::string, std::string>> builds;  // name, path
  for (int i = 4; i < argc; ++i) {
    const std::string a = argv[i];
    const auto eq = a.find('=');
    builds.emplace_back(eq == std::string::npos ? a : a.substr(0, eq),
                        eq == std::string::npos ? a : a.substr(eq + 1));
  }
  const std::string& first = builds.front().second;

  // The window to size: the test window on X11, the Qt window elsewhere.
  const bool x11 = desktop == "x11";
  const std::string title = "benchwindow";
  const std::vector<std::string> start =
      x11 ? std::vector<std::string>{argv[2], "--geometry", "300x200+50+50"}
          : std::vector<std::string>{"env", "QT_QPA_PLATFORM=wayland", argv[2],
                                     title};
  int fds[2];
  if (pipe(fds) != 0) return 1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  std::vector<char*> args;
  for (const auto& a : start) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t window = 0;
  posix_spawnp(&window, args[0], &actions, nullptr, args.data(), environ);
  close(fds[1]);

  std::string id;
  Reading reading;
  xcb_connection_t* c = nullptr;
  std::unique_ptr<pentrax::X11Probe> probe;
  std::unique_ptr<pentrax::X11WindowManager> wm;
  if (x11) {
    char line[32] = {};
    if (read(fds[0], line, sizeof line - 1) <= 0) return 1;
    const auto w = static_cast<xcb_window_t>(std::stoul(line, nullptr, 16));
    id = std::to_string(w);
    c = xcb_connect(nullptr, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // framed
    reading = X11(c, w);
    std::string error;
    auto backend = std::make_unique<pentrax::x11::Backend>(
        pentrax::x11::Connection::Open(nullptr, &error));
    probe = std::make_unique<pentrax::X11Probe>(*backend);
    wm = std::make_unique<pentrax::X11WindowManager>(std::move(backend));
  } else {
    // Its number, as the first build lists it.
    for (int i = 0; i < 200 && id.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      std::string out;
      RunProgram({first, "list", "--json"}, &out);
      const json list = json::parse(out, nullptr, false);
      for (const json& w :
           list.is_object() ? list.value("windows", json()) : json::array()) {
        if (w.value("title", "") == title) {
          id = std::to_string(w.value("window", 0L));
        }
      }
    }
    if (id.empty()) {
      std::fprintf(stderr, "the window did not come up\n");
      return 1;
    }
    if (desktop == "sway") {
      RunProgram({"swaymsg", "[title=\"^" + title + "$\"] floating enable"});
      const auto tree = Tree();
      std::function<void(const json&)> look = [&](const json& n) {
        if (!n.is_object()) return;
        if (n.value("name", json("")) == title)
          reading = Sway(n.value("id", 0L));
        for (const char* l : {"nodes", "floating_nodes"})
          for (const json& k : n.value(l, json::array())) look(k);
      };
      if (tree && tree->is_object()) look(*tree);
    }
  }
  // Each tool: its command for a size; which reading shows that it took the
  // size (none for a command that changes nothing or reads it back
  // itself); and until when its time runs: its exit (then the window is
  // waited for untimed, as the next tool needs it settled), the reading,
  // or the settle check that follows it.
  enum class Read { kNone, kOuter, kInner };
  enum class Until { kExit, kReading, kSettled };
  struct Tool {
    std::string name;
    std::function<std::vector<std::string>(Size)> command;
    Read read;
    Until until;
    bool sizes = true;  // false: it changes nothing
  };
  std::vector<Tool> tools;
  const bool readable = x11 || desktop == "sway";
  for (const auto& [name, path] : builds) {
    tools.push_back({"`pentrax2 size WxH --window ID` (" + name + ")",
                     [path, &id](Size s) {
                       return std::vector<std::string>{
                           path, "size", Text(s, "x"), "--window", id};
                     },
                     readable ? Read::kOuter : Read::kNone,
                     readable ? Until::kReading : Until::kExit});
  }
  // Where the time goes: the start alone, then on KWin and GNOME the D-Bus
  // part loaded with Qt and the bus asked (--help), then the desktop asked
  // for its windows (list).
  for (const char* what : {"--version", "--help", "list"}) {
    for (const auto& [name, path] : builds) {
      tools.push_back({"`pentrax2 " + std::string(what) + "` (" + name + ")",
                       [path, what](Size) {
                         return std::vector<std::string>{path, what};
                       },
                       Read::kNone, Until::kExit, false});
    }
  }
  tools.push_back({"`true` (a program that does nothing)",
                   [](Size) { return std::vector<std::string>{"true"}; },
                   Read::kNone, Until::kExit, false});
  const auto wmctrl = [&id](Size s) {
    return std::vector<std::string>{"wmctrl", "-i", "-r",
                                    id,       "-e", "0,-1,-1," + Text(s, ",")};
  };
  const auto swaymsg = [&title](Size s) {
    return std::vector<std::string>{
        "swaymsg", "[title=\"^" + title + "$\"] resize set " + Text(s, " ")};
  };
  if (x11) {
    tools.push_back(
        {"`wmctrl -e` (it does not wait)", wmctrl, Read::kInner, Until::kExit});
    tools.push_back({"`wmctrl -e`, then the same settle check as pentrax2's",
                     wmctrl, Read::kInner, Until::kSettled});
    tools.push_back({"`xdotool windowsize --sync`",
                     [&id](Size s) {
                       return std::vector<std::string>{
                           "xdotool",
                           "windowsize",
                           "--sync",
                           id,
                           std::to_string(s.width),
                           std::to_string(s.height)};
                     },
                     Read::kInner, Until::kReading});
  } else if (desktop == "sway") {
    // The size with the title bar, as sway sets it.
    tools.push_back(
        {"`swaymsg resize set`", swaymsg, Read::kOuter, Until::kExit});
    tools.push_back({"`swaymsg resize set`, until the tree shows the size",
                     swaymsg, Read::kOuter, Until::kReading});
  }
  // The frame around the size the other tools ask for (X11).
  Size frame;
  if (x11) {
    const auto o = reading.outer(), i = reading.inner();
    frame = {o->width - i->width, o->height - i->height};
  }

  std::printf("| command | median | 90th percentile |\n|---|---|---|\n");
  const Size sizes[] = {{800, 600}, {640, 480}};
  int turn = 0;  // every sizing a new size
  std::vector<std::vector<double>> ms(tools.size());
  for (int n = 0; n < 2 * runs; ++n) {
    for (std::size_t t = 0; t < tools.size(); ++t) {
      const Tool& tool = tools[t];
      const Size want = sizes[tool.sizes ? turn++ % 2 : 0];
      // Where the settle check starts from: the window's place now.
      pentrax::WindowPlacement before;
      if (tool.until == Until::kSettled) {
        wm->GetWindowPlacement(std::stoi(id), before);
      }
      const auto t0 = Clock::now();
      if (!RunProgram(tool.command(want))) {
        std::fprintf(stderr, "%s failed\n", tool.name.c_str());
        return 1;
      }
      auto t1 = Clock::now();
      bool reached = true;
      if (tool.until == Until::kSettled) {
        const pentrax::Rect& r = before.rcNormalPosition;
        reached = probe->WaitUntilPlaced(
            std::stoi(id), {r.left, r.top, r.left + want.width + frame.width,
                            r.top + want.height + frame.height});
        t1 = Clock::now();
      }
      if (tool.read != Read::kNone) {
        const auto& read =
            tool.read == Read::kInner ? reading.inner : reading.outer;
        bool shown = false;
        while (!(shown = read() == want) &&
               Clock::now() - t0 < std::chrono::seconds(2)) {
        }
        reached = reached && shown;
        if (tool.until == Until::kReading) t1 = Clock::now();
      }
      if (!reached) {
        std::fprintf(stderr, "%s: the window did not take %dx%d\n",
                     tool.name.c_str(), want.width, want.height);
        return 1;
      }
      if (n >= 2) {  // the first runs warm the caches
        ms[t].push_back(
            std::chrono::duration<double, std::milli>(t1 - t0).count());
      }
    }
  }
  for (std::size_t t = 0; t < tools.size(); ++t) {
    std::printf("| %s | %.1f ms | %.1f ms |\n", tools[t].name.c_str(),
                Quantile(ms[t], 0.5), Quantile(ms[t], 0.9));
  }
  std::printf(
      "\n| libraries loaded by | `size` | `--version` |\n|---|---|---|\n");
  for (const auto& [name, path] : builds) {
    std::printf("| %s | %s | %s |\n", name.c_str(),
                Loaded(path + " size 640x480 --window " + id).c_str(),
                Loaded(path + " --version").c_str());
  }
  kill(window, SIGTERM);
  if (c) xcb_disconnect(c);
  return 0;
}
