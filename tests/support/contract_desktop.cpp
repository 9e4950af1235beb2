// The Linux desktops of the contract, on Qt windows (pentrax_qt_window),
// foot and X11 test windows (pentrax_test_window, or this program's).
#include "contract_desktop.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gnome_window_manager.h"
#include "handle_map.h"
#include "kwin_script.h"
#include "kwin_window_manager.h"
#include "sway_look.h"
#include "sway_window_manager.h"
#include "x11_window_manager.h"

namespace pentrax::testing {
namespace {

using nlohmann::json;

std::string Env(const char* name) {
  return std::getenv(name) != nullptr ? std::getenv(name) : "";
}

// The numbers after "=" in what xprop says of a property.
std::vector<int> Numbers(const std::string& property) {
  std::vector<int> numbers;
  std::istringstream in(
      property.substr(std::min(property.find('='), property.size())));
  in.ignore(1);
  for (int n; in >> n; in.ignore(1)) numbers.push_back(n);
  return numbers;
}

Rect Moved(Rect r, Point by) {
  return {r.left - by.x, r.top - by.y, r.right - by.x, r.bottom - by.y};
}

std::optional<Reading> ReadX(WindowHandle id, Point origin) {
  const auto x = ReadIndependently(id);
  if (!x) return std::nullopt;
  const auto& e = x->extents;
  Reading r{.frame = Moved(x->Outer(), origin),
            .insets = Insets{e[0], e[2], e[1], e[3]},
            .active = ActiveWindow() == id};
  const auto shadow = Numbers(Property(id, "_GTK_FRAME_EXTENTS"));
  if (shadow.size() == 4) {  // a frame of its own within a shadow
    const Rect& c = x->client;
    r.frame = Moved({c.left + shadow[0], c.top + shadow[2], c.right - shadow[1],
                     c.bottom - shadow[3]},
                    origin);
    r.insets = Insets{};
  }
  const std::string state = Property(id, "_NET_WM_STATE");
  const auto has = [&](const char* s) { return state.find(s) != state.npos; };
  r.show = has("HIDDEN")                                    ? kShowMinimized
           : has("FULLSCREEN")                              ? kShowFullscreen
           : has("MAXIMIZED_VERT") && has("MAXIMIZED_HORZ") ? kShowMaximized
                                                            : kShowNormal;
  return r;
}

void MakeX(long long id, std::int32_t show) {
  const std::string w = std::to_string(id), b = "wmctrl -i -r " + w + " -b ";
  Run(show == kShowMinimized   ? "xdotool windowminimize " + w
      : show == kShowMaximized ? b + "add,maximized_vert,maximized_horz"
      : show == kShowFullscreen
          ? b + "add,fullscreen"
          : b + "remove,maximized_vert,maximized_horz; " + b +
                "remove,fullscreen; wmctrl -i -a " + w);
}

// A Qt window reports itself into a file and takes a state on its input.
struct QtWindow : Client {
  std::string report;
  QtWindow(const std::vector<std::string>& argv, std::string file)
      : Client(argv), report(std::move(file)) {}
  // Its last "WxH FW FH TOP STATE ACTIVE", or its first in its frame.
  std::optional<std::array<int, 7>> Last(bool first = false) const {
    std::optional<std::array<int, 7>> last;
    std::string line;
    for (std::ifstream in(report); std::getline(in, line);) {
      std::array<int, 7> v{};
      const bool read =
          std::sscanf(line.c_str(), "%dx%d %d %d %d %d %d", &v[0], &v[1], &v[2],
                      &v[3], &v[4], &v[5], &v[6]) == 7;
      if (first && read && v[3] > v[1]) return v;
      last = read && !first ? std::optional(v) : std::nullopt;
    }
    return last;
  }
};

// An X11 test window takes the roles a Qt window or foot cannot.
std::shared_ptr<void> StartProgram(const std::string& kind,
                                   const std::string& title, Role role) {
  static int started = 0;
  const bool refusing = role == Role::kRefusing;
  if (kind.starts_with("Qt") && role <= Role::kRefusing) {
    const std::string file =
        Env("XDG_RUNTIME_DIR") + "/qt" + std::to_string(++started);
    return std::make_shared<QtWindow>(
        std::vector<std::string>{
            "sh", "-c", "exec \"$@\" >" + file, "-", PENTRAX_QT_WINDOW, title,
            "-platform", kind == "Qt on Wayland" ? "wayland" : "xcb",
            refusing ? "--cells" : "", refusing ? "7x14" : ""},
        file);
  }
  if (kind == "foot" && role == Role::kOrdinary) {
    return std::make_shared<Client>(std::vector<std::string>{
        "sh", "-c", "exec foot -T \"$0\" sleep 1d 2>/dev/null", title});
  }
  if (refusing && !kind.starts_with("X11")) return nullptr;
  char self[PATH_MAX] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return nullptr;
  std::vector<std::string> argv = {PENTRAX_TEST_WINDOW, "--title", title};
  if (role == Role::kOwn) argv = {self, "--test-window", "--title", title};
  const bool csd = kind.ends_with("frame");
  const char* const options[] = {
      "", csd ? "--min 10x10 --inc 10x10" : "--min 200x150 --max 400x300",
      "--type DIALOG", "--type DOCK --geometry 200x40+500+400", ""};
  std::istringstream more(options[static_cast<int>(role)] +
                          std::string(csd ? " --csd 12" : ""));
  for (std::string word; more >> word;) argv.push_back(word);
  return std::make_shared<Client>(argv);
}

QtWindow* Qt(const TestWindow& w) {
  return w.kind.starts_with("Qt") ? static_cast<QtWindow*>(w.program.get())
                                  : nullptr;
}

// Silenced by stopping the desktop's process.
class LinuxDesktop : public ContractDesktop {
 public:
  LinuxDesktop() { name = Env("PENTRAX_DESKTOP"); }
  std::optional<TestWindow> Start(const std::string& kind,
                                  const std::string& title,
                                  Role role) override {
    const bool x = role > Role::kRefusing || kind.starts_with("X11");
    TestWindow w{x ? "X11" : kind, title, StartProgram(kind, title, role)};
    return w.program && Taken(w) ? std::optional(w) : std::nullopt;
  }
  bool Silence(bool stop) override {
    return kill(std::atoi(Env(pid_).c_str()), stop ? SIGSTOP : SIGCONT) == 0;
  }

 protected:
  virtual bool Taken(TestWindow& w) = 0;
  // Managed and framed (tight: in a frame just its size, as KWin frames a
  // window before it moves it). A Qt window is found by its title and pid
  // (GNOME's frames have its title too); the X11 test window prints its id.
  static bool TakenX(TestWindow& w, bool tight) {
    auto* client = static_cast<Client*>(w.program.get());
    std::istringstream found(Qt(w) == nullptr
                                 ? client->ReadLine()
                                 : Run("timeout 30 xdotool search --sync "
                                       "--onlyvisible --all --pid " +
                                       std::to_string(client->pid()) +
                                       " --name '^" + w.title + "$'")
                                       .value_or(""));
    std::string number;
    w.key = found >> number ? std::stoll(number, nullptr, 0) : 0;
    const auto id = WindowHandle(w.key);
    const auto managed = [&] {
      const auto r = ReadIndependently(id);
      return r &&
             Property(id, "WM_STATE").find("window state") !=
                 std::string::npos &&
             (!tight || r->frame == r->Outer());
    };
    if (w.key == 0 || !Eventually(managed, kAppearsMs)) return false;
    // (Another client's frame comes later, if at all: a dock has none.)
    Eventually([&] {
      return Numbers(Property(id, "_NET_FRAME_EXTENTS")).size() == 4;
    });
    return true;
  }
  const char* pid_ = "";
  std::string error_;
};

// In the backend's workspace coordinates (from the work area's corner).
class X11Desktop : public LinuxDesktop {
 public:
  X11Desktop() {
    family = "X11";
    kinds = {"X11", "X11 drawing its own frame"};
    const Rect area = WorkArea();  // (from 0, 0 so far)
    origin_ = {area.left, area.top};
  }
  std::unique_ptr<WindowManager> Connect() override {
    return X11WindowManager::Connect(nullptr, &error_);
  }
  std::optional<Reading> Read(const TestWindow& w) override {
    auto r = ReadX(WindowHandle(w.key), origin_);
    if (r) r->content = Offered(w);
    return r;
  }
  bool Activate(const TestWindow& w) override {
    testing::Activate(WindowHandle(w.key));
    return true;
  }
  void Make(const TestWindow& w, std::int32_t show) override {
    MakeX(w.key, show);
  }
  Rect Monitor() override {
    int width = 0, height = 0;
    std::sscanf(ScreenSize().c_str(), "%dx%d", &width, &height);
    return Moved({0, 0, width, height}, origin_);
  }
  Rect WorkArea() override {
    const auto a = Numbers(Run("xprop -root _NET_WORKAREA").value_or(""));
    return a.size() < 4
               ? Rect{}
               : Moved({a[0], a[1], a[0] + a[2], a[1] + a[3]}, origin_);
  }

 protected:
  bool Taken(TestWindow& w) override {
    w.handle = TakenX(w, name.starts_with("KWin")) ? WindowHandle(w.key) : 0;
    return w.handle != 0;
  }
  Point origin_;
};

// sway: the test's windows float (its tiling is the maximised state).
class SwayDesktop final : public LinuxDesktop {
 public:
  SwayDesktop() {
    family = silentName = "sway";
    kinds = {"Qt on Wayland", "foot", "Qt through XWayland"};
    pid_ = "PENTRAX_SWAY_PID";
  }
  std::unique_ptr<WindowManager> Connect() override {
    return SwayWindowManager::Connect("", &error_);
  }
  std::optional<Reading> Read(const TestWindow& w) override {
    const auto s = Look([&](const Seen& v) { return v.id == w.key; });
    if (!s) return std::nullopt;
    return Reading{.frame = s->outer,
                   .insets = s->insets,
                   .show = s->hidden                   ? kShowMinimized
                           : s->fullscreen != 0        ? kShowFullscreen
                           : s->type == "floating_con" ? kShowNormal
                                                       : kShowMaximized,
                   .active = s->focused};
  }
  bool Activate(const TestWindow& w) override {
    Sway(w, "focus");
    return true;
  }
  void Make(const TestWindow& w, std::int32_t show) override {
    Sway(w, show == kShowMinimized    ? "move scratchpad"
            : show == kShowMaximized  ? "fullscreen disable, floating disable"
            : show == kShowFullscreen ? "fullscreen enable"
            : Read(w) && Read(w)->show == kShowMinimized
                ? "scratchpad show, floating enable"
                : "fullscreen disable, floating enable");
  }
  Rect Monitor() override { return Box(Swaymsg("-t get_outputs")[0]["rect"]); }
  Rect WorkArea() override {
    for (const auto& w : Swaymsg("-t get_workspaces")) {
      if (w.value("focused", false)) return Box(w["rect"]);
    }
    return {};
  }

 private:
  static void Sway(const TestWindow& w, const std::string& command) {
    Run("swaymsg '[con_id=" + std::to_string(w.key) + "] " + command + "'");
  }
  bool Taken(TestWindow& w) override {
    std::optional<Seen> s;
    const auto look = [&](const auto& match) {
      return (s = Look(match)) && s->outer.width() > 0;
    };
    const auto appears = [&](int ms) {
      return Eventually(
          [&] {
            return look([&](const Seen& v) { return v.title == w.title; });
          },
          ms);
    };
    // Now and then (a few times in a hundred on a busy machine, sway 1.10
    // and 1.12) an X11 window that XWayland shows mapped never reaches
    // sway's tree; mapped again, it does.
    const bool x = w.kind == "X11" || w.kind.ends_with("XWayland");
    if (!appears(x ? 10000 : kAppearsMs)) {
      if (!x) return false;
      // (If it is there yet: xwininfo tells _NET_WM_NAME.)
      Run("for id in $(xwininfo -root -tree | grep -F '\"" + w.title +
          "\":' | awk '{print $1}'); do xdotool windowunmap --sync $id "
          "windowmap $id; done");
      if (!appears(kAppearsMs)) return false;
    }
    w.key = w.handle = s->id;
    if (s->type != "floating_con") Sway(w, "floating enable");
    return Eventually([&] {
      return look([&](const Seen& v) { return v.id == w.key; }) &&
             s->type == "floating_con";
    });
  }
};

// Read by a script of the test's own.
class KWinDesktop final : public LinuxDesktop {
 public:
  KWinDesktop() {
    family = silentName = "KWin";
    kinds = {"Qt on Wayland", "Qt through XWayland"};
    pid_ = "PENTRAX_KWIN_PID";
  }
  std::unique_ptr<WindowManager> Connect() override {
    return KWinWindowManager::Connect(&error_);
  }
  // A dock: a layer-shell bar, which KWin takes for an ordinary window when
  // its namespace is not a panel's.
  std::optional<TestWindow> Start(const std::string& kind,
                                  const std::string& title,
                                  Role role) override {
    if (role != Role::kDock) return LinuxDesktop::Start(kind, title, role);
    const auto bars = [] {
      return RunKWinScript(
          "send((workspace.windowList ? workspace.windowList() : "
          "workspace.clientList()).filter(function (w) { return "
          "w.resourceClass == 'swaynag'; }).map(function (w) { return "
          "String(w.internalId); }));");
    };
    const json before = bars();
    TestWindow w{"bar", title,
                 std::make_shared<Client>(std::vector<std::string>{
                     "swaynag", "--edge", "top", "--message", title})};
    Eventually([&] {
      for (const json& id : bars()) {
        if (std::ranges::count(before, id) == 0) w.handle = HandleOfUuid(id);
      }
      return w.handle != 0;
    });
    return w;
  }
  std::optional<Reading> Read(const TestWindow& w) override {
    const json d = Script(w, "send(describe(w));");
    if (d.is_null()) return std::nullopt;
    const json& f = d["frame"];
    Reading r{.frame = {f[0], f[1], f[2], f[3]}, .content = Offered(w)};
    // (5.27 tells no maximised state: a frame filling the work area counts.)
    const bool maximized = d["maximized"].is_null()
                               ? r.frame == WorkArea() && !d["tiled"]
                               : d["maximized"].get<bool>();
    r.show = d["minimized"]    ? kShowMinimized
             : d["fullScreen"] ? kShowFullscreen
             : d["tiled"]      ? kShowTiled
             : maximized       ? kShowMaximized
                               : kShowNormal;
    r.active = d["active"];
    return r;
  }
  bool Activate(const TestWindow& w) override {
    Script(w, "activate(w); send(0);");
    return true;
  }
  void Make(const TestWindow& w, std::int32_t show) override {
    Script(w,
           std::string(show == kShowMinimized    ? "w.minimized = true;"
                       : show == kShowMaximized  ? "w.setMaximize(true, true);"
                       : show == kShowFullscreen ? "w.fullScreen = true;"
                       : show == kShowTiled
                           ? "activate(w); workspace.slotWindowQuickTileLeft();"
                           : "if (w.tile && workspace.windowList) { w.tile = "
                             "null; } else if (w.tile) { activate(w); "
                             "workspace.slotWindowQuickTileLeft(); } "
                             "w.fullScreen = false; w.setMaximize(false, "
                             "false); w.minimized = false;") +
               "send(0);");
  }
  Rect Monitor() override { return Areas(1); }
  Rect WorkArea() override { return Areas(0); }

 private:
  static json Script(const TestWindow& w, const std::string& body) {
    return RunKWinScript("var w = byCaption(" + json(w.title).dump() + ");" +
                         body);
  }
  static Rect Areas(int which) {
    const json a = RunKWinScript("send(areas());")[which];
    return {a[0], a[1], a[2], a[3]};
  }
  bool Taken(TestWindow& w) override {
    json d;
    const bool seen = Eventually(
        [&] {
          d = Script(w, "send(describe(w));");
          return !d.is_null() && d["frame"][2] > d["frame"][0];
        },
        kAppearsMs);
    w.handle = seen ? HandleOfUuid(d["id"]) : 0;
    return seen;
  }
};

// Xwayland's windows as on X11; a Wayland window as it reports itself (no
// place; what it draws is all its own), asked for a state as its title bar
// would ask.
class GnomeDesktop final : public X11Desktop {
 public:
  GnomeDesktop() {
    family = "GNOME";
    silentName = "GNOME Shell";
    kinds = {"Qt on Wayland", "Qt through XWayland"};
    pid_ = "PENTRAX_SHELL_PID";
    origin_ = {};  // (the backend's coordinates are the screen's)
  }
  std::unique_ptr<WindowManager> Connect() override {
    return GnomeWindowManager::Connect(&error_);
  }
  std::optional<Reading> Read(const TestWindow& w) override {
    return Wayland(w) ? Reported(w, false) : X11Desktop::Read(w);
  }
  std::optional<Reading> Opened(const TestWindow& w) override {
    return Wayland(w) ? Reported(w, true) : Read(w);
  }
  bool Activate(const TestWindow& w) override {
    return !Wayland(w) && X11Desktop::Activate(w);
  }
  void Make(const TestWindow& w, std::int32_t show) override {
    if (!Wayland(w)) return MakeX(w.key, show);
    Qt(w)->Write(std::string(ShowStateName(show)));
  }

 private:
  static bool Wayland(const TestWindow& w) { return w.kind == "Qt on Wayland"; }
  static std::optional<Reading> Reported(const TestWindow& w, bool first) {
    const auto v = Qt(w) != nullptr ? Qt(w)->Last(first) : std::nullopt;
    if (!v) return std::nullopt;
    const auto [width, height, fw, fh, top, state, active] = *v;
    return Reading{{0, 0, fw, fh},
                   false,
                   Insets{},
                   std::nullopt,
                   state == 2   ? kShowFullscreen
                   : state == 1 ? kShowMaximized
                                : kShowNormal};
  }
  bool Taken(TestWindow& w) override {
    if (!Wayland(w)) return TakenX(w, false);
    return Eventually([&] { return Qt(w)->Last(true).has_value(); },
                      kAppearsMs);
  }
};

}  // namespace

std::optional<Size> Offered(const TestWindow& w) {
  const auto v = Qt(w) != nullptr ? Qt(w)->Last() : std::nullopt;
  return v ? std::optional(Size{(*v)[0], (*v)[1]}) : std::nullopt;
}

std::unique_ptr<ContractDesktop> SessionDesktop() {
  if (!Env("SWAYSOCK").empty()) return std::make_unique<SwayDesktop>();
  if (!Env("PENTRAX_KWIN_PID").empty()) return std::make_unique<KWinDesktop>();
  if (!Env("PENTRAX_SHELL_PID").empty())
    return std::make_unique<GnomeDesktop>();
  return std::make_unique<X11Desktop>();
}

}  // namespace pentrax::testing
