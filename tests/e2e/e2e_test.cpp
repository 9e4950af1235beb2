// The real pentrax2 on each desktop, driven as a user drives it (keys on its
// window, the result box read through the clipboard) and by its commands;
// windows read by the desktop itself (contract_desktop.h).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

#include "contract_desktop.h"
#include "pentrax_version.h"
#include "x_session.h"

namespace pentrax {
namespace {

using nlohmann::json;
using testing::Client;
using testing::Eventually;
using testing::TestWindow;

const auto desk = testing::SessionDesktop();

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A temporary folder, removed with everything in it.
struct Folder {
  std::string path = [] {
    char name[] = "/tmp/pentrax-e2e.XXXXXX";
    return std::string(mkdtemp(name));
  }();
  ~Folder() { std::filesystem::remove_all(path); }
  std::string Ini() const { return path + "/pentrax2/pentrax2.ini"; }
};

// pentrax2 with its settings and its standard error in the folder.
std::unique_ptr<Client> StartPentrax(const Folder& config,
                                     const std::string& display = "") {
  const std::string env = display.empty() ? "" : " DISPLAY=" + display;
  return std::make_unique<Client>(std::vector<std::string>{
      "sh", "-c",
      "exec env XDG_CONFIG_HOME=" + config.path + env + " " + PENTRAX2 + " 2>" +
          config.path + "/stderr"});
}

// Its exit status within 10 s (the client reaps it), -1 after a signal, -2
// when it did not end.
int Ended(const Client& c) {
  siginfo_t info{};
  const auto ended = [&] {
    return waitid(P_PID, static_cast<id_t>(c.pid()), &info,
                  WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == c.pid();
  };
  if (!Eventually(ended, 10000)) return -2;
  return info.si_code == CLD_EXITED ? info.si_status : -1;
}

// pentrax2 and its main window, brought to the front as a pager would.
struct Pentrax {
  std::unique_ptr<Client> client;
  std::string window;

  explicit Pentrax(const Folder& config) : client(StartPentrax(config)) {
    // (By its class: GNOME's frames have its title too.)
    window = std::to_string(testing::FindWindowByClass("pentrax2"));
    EXPECT_NE(window, "0") << "pentrax2 did not show its window";
    EXPECT_TRUE(
        testing::Run("timeout 10 xdotool windowactivate --sync " + window));
    Keys("shift");  // sway 1.12's Xwayland drops the first other XTEST key
  }
  // (To the window while another stays in front: Pentrax in front would
  // pick itself.)
  void Keys(const std::string& keys) const {
    testing::Run("xdotool key --window " + window + " " + keys);
  }
  // The result box's text, reached with the keys, once it holds `expected`.
  std::string Result(const std::string& keys,
                     const std::string& expected) const {
    Keys(keys);
    std::string text;
    Eventually(
        [&] {
          Keys("ctrl+a ctrl+c");
          text = testing::Run(
                     "timeout 5 xclip -o -selection clipboard -t UTF8_STRING")
                     .value_or("");
          return text.find(expected) != std::string::npos;
        },
        10000);
    return text;
  }
};

// From the first focus (the presets) to the sizing button.
constexpr char kToSizing[] = "Tab Tab Tab Tab Tab Tab";

void ExpectSays(
    const std::vector<std::tuple<std::string, int, std::string>>& rows) {
  for (const auto& [command, status, says] : rows) {
    const auto out = testing::Run(command + " 2>&1; echo status=$?");
    EXPECT_TRUE(out && out->find(says) != std::string::npos &&
                out->ends_with("status=" + std::to_string(status) + "\n"))
        << command << ": " << out.value_or("");
  }
}

// Whether --help names the backend, with the environment changed so.
bool Chose(const std::string& backend, const std::string& env = "") {
  const auto h = testing::Run("env " + env + " " PENTRAX2 " --help");
  return h && h->find("would get: " + backend + "\n") != std::string::npos;
}

Rect Frame(const TestWindow& w) {
  return desk->Read(w).value_or(testing::Reading{}).frame;
}

// As the window reports it, or its frame less what the desktop draws.
std::optional<Size> Content(const std::optional<testing::Reading>& r) {
  if (!r || r->content) return r ? r->content : std::nullopt;
  const Insets in = r->insets.value_or(Insets{});
  return Size{r->frame.width() - in.left - in.right,
              r->frame.height() - in.top - in.bottom};
}

TEST(E2e, SizesAWindowThatTheDesktopActivatesAndPutsItBack) {
  // (A sway socket where nothing listens gives X11.)
  std::string backend = desk->family;
  std::transform(backend.begin(), backend.end(), backend.begin(), ::tolower);
  ASSERT_TRUE(Eventually([&] { return Chose(backend); }, 10000));
  EXPECT_TRUE(backend != "sway" || Chose("x11", "SWAYSOCK=/nowhere"));
  // Activated once the sizing button is down; on GNOME, which has no other
  // way to activate a native window, opened then.
  const std::string title = "Caf\xC3\xA9 journey", kind = desk->kinds[0];
  const bool opensPicked = desk->family == "GNOME";
  std::optional<TestWindow> w;
  if (!opensPicked) w = desk->Start(kind, title);
  const Folder config;
  const Pentrax pentrax(config);
  pentrax.Keys(std::string(kToSizing) + " space");
  if (opensPicked) w = desk->Start(kind, title);
  ASSERT_TRUE(w);
  const auto before = desk->Opened(*w);
  ASSERT_TRUE(before);
  desk->Activate(*w);
  // 640 x 480, a border of 3 added and a 28-pixel task bar taken off.
  const auto is = [&](int width, int height) {
    return Frame(*w).width() == width && Frame(*w).height() == height;
  };
  EXPECT_TRUE(Eventually([&] { return is(646, 458); }, 10000));
  const std::string report = title + "\nresized to 646 x 458";
  EXPECT_EQ(pentrax.Result("Tab Tab", report), report);

  // Its number as `list` gives it (which leaves out Pentrax's own window).
  std::string id = "0";
  const auto all = testing::Run(PENTRAX2 " list --json").value_or("{}");
  EXPECT_EQ(all.find("Pentrax 2"), all.npos);
  for (const json& listed : json::parse(all).value("windows", json::array())) {
    if (listed["title"] == title) id = listed["window"].dump();
  }
  // Each a process of its own (@: the window's number), and what the desktop
  // shows then (what each prints: the command table's unit test). The first
  // puts back what the window sized; none writes settings (nor makes their
  // folder).
  const auto back = [&] { return Frame(*w) == before->frame; };
  const std::pair<std::string, std::function<bool()>> rows[] = {
      {"restore --window @", back},
      {"size 640x480 --content --window @ --json",
       [&] {
         return Content(desk->Read(*w)) == Size{640, 480};
       }},
      {"restore --window @", back},
      {"size 800x600", [&] { return is(800, 600); }},  // the window in front
      {"restore --window @ --json", back},
  };
  char none[] = "/tmp/pentrax-journeys.XXXXXX";
  const std::string env = "XDG_CONFIG_HOME=" + std::string(mkdtemp(none));
  for (const auto& [command, shown] : rows) {
    SCOPED_TRACE(command);
    desk->Activate(*w);
    EXPECT_TRUE(
        Eventually([&] { return desk->Read(*w)->active.value_or(true); }));
    const std::string out =
        testing::Run(env + " " PENTRAX2 " " +
                     std::regex_replace(command, std::regex("@"), id) +
                     " 2>&1; echo status=$?")
            .value_or("");
    EXPECT_TRUE(out.ends_with("status=0\n")) << out;
    EXPECT_TRUE(Eventually(shown, 5000)) << out;
  }
  EXPECT_EQ(rmdir(none), 0) << none << " is not empty";
  // No Qt on X11 and sway; Qt Core and Qt D-Bus alone on KWin and GNOME.
  const bool bus = desk->family == "KWin" || desk->family == "GNOME";
  EXPECT_EQ(testing::Run(
                "LD_DEBUG=files " PENTRAX2 " list 2>&1 >/dev/null | sed -n"
                " 's/.*file=libQt6\\([A-Za-z]*\\).*/\\1/p' | sort -u | xargs"),
            bus ? "Core DBus\n" : "\n");
}

// Pentrax's extension answers only its own pentrax2. Out of service (off
// here, failing or out of date in sessions of their own), --help, a command
// and the window say why, with the shell's version and what to do; a call
// that fails inside it is never a window gone nor an empty list.
TEST(E2e, GnomeExtensionAnswersOnlyPentraxOrSaysWhyNot) {
  if (desk->family != "GNOME") GTEST_SKIP() << "GNOME only";
  const char* const set = std::getenv("PENTRAX_EXTENSION_FIXTURE");
  const std::string fixture = set != nullptr ? set : "",
                    runtime = std::getenv("XDG_RUNTIME_DIR");
  const Folder config;
  if (fixture.empty()) {
    // It answers its pentrax2's file (through a link), not a copy.
    const std::string copy = runtime + "/pentrax2-copy",
                      link = runtime + "/pentrax2-link";
    const std::string refused =
        "answers only the pentrax2 it was installed with, not " + copy + ": ";
    ExpectSays(
        {{"cp " PENTRAX2 " " + copy + " && cp $(dirname " PENTRAX2 ")/*.so " +
              runtime + " && ln -sf " PENTRAX2 " " + link,
          0, ""},
         {copy + " list", 0, refused},
         {copy + " --backend gnome list", 3,
          "gnome: Pentrax's GNOME extension " + refused},
         {link + " list", 0, ""}});
    // (Left off: the session ends after this suite.)
    ASSERT_TRUE(testing::SwitchExtension(false, 2));
  } else if (fixture == "failing") {
    const Pentrax pentrax(config);  // in front: the extension fails on it
    const std::string failing =
        "(failing: TypeError: w.get_maximized is not a function) did not "
        "answer: nothing was ";
    ExpectSays({{PENTRAX2 " size 640x480", 3, failing + "sized"},
                {PENTRAX2 " query", 3, failing + "read"},
                {PENTRAX2 " list --json", 3, failing + "listed"}});
    // Switched on again, it fails to start.
    testing::SwitchExtension(false, 2);
    ASSERT_TRUE(testing::SwitchExtension(true, 3));
  }
  const std::string shell =
      "GNOME Shell " + std::string(std::getenv("PENTRAX_SHELL_VERSION"));
  const std::map<int, std::string> kWhy = {
      {2, "is switched off in " + shell +
              ": run gnome-extensions enable pentrax@pentrax.dev"},
      {3, "failed in " + shell + " ("},  // its error, as the shell words it
      {4, "is out of date: " + shell + " does not load it"}};
  const int state = testing::ExtensionState();
  ASSERT_TRUE(kWhy.contains(state)) << state;
  const std::string why = "Pentrax's GNOME extension " + kWhy.at(state);
  ExpectSays({{PENTRAX2 " --help", 0, "would get: x11\n" + why},
              {PENTRAX2 " size 640x480", 3, why},
              {PENTRAX2 " --backend gnome list", 3, "backend gnome: " + why}});
  EXPECT_NE(Pentrax(config)
                .Result(std::string(kToSizing) + " Tab Tab", why)
                .find(why),
            std::string::npos);
}

// A command that a signal ends while it waits for a pick unloads its agent
// from KWin (as KWin tells), then ends by the signal.
TEST(E2e, AnInterruptedPickLeavesNoAgentInKWin) {
  if (desk->family != "KWin") GTEST_SKIP() << "KWin only";
  for (const int signal : {2, 15, 1}) {  // INT, TERM, HUP
    const std::string out =
        testing::Run(
            "f=$XDG_RUNTIME_DIR/pick; env --default-signal=INT " PENTRAX2
            " size --window pick 2>$f & p=$!; timeout 10 sh -c \"until grep "
            "-q Activate $f; do sleep 0.05; done\"; kill -" +
            std::to_string(signal) +
            " $p; wait $p; echo $?; dbus-send --session --print-reply "
            "--dest=org.kde.KWin /Scripting org.kde.kwin.Scripting."
            "isScriptLoaded string:pentrax-$p-1")
            .value_or("");
    EXPECT_TRUE(out.starts_with(std::to_string(128 + signal) + "\n") &&
                out.ends_with("boolean false\n"))
        << out;
  }
}

TEST(E2e, SettingsAndPlaceSurviveARestart) {
  if (desk->family != "X11") GTEST_SKIP() << "X11 only";
  const Folder config;
  auto pentrax = std::make_unique<Pentrax>(config);
  const auto main = [&] { return std::stoi(pentrax->window); };
  const Rect first = testing::OuterOf(main());
  testing::Run("xdotool windowmove " + pentrax->window + " 210 120");
  ASSERT_TRUE(Eventually([&] { return testing::OuterOf(main()) != first; }));
  const Rect placed = testing::OuterOf(main());
  EXPECT_EQ(ReadFile(config.Ini()), "");  // nothing written before a close

  // Closed by the window manager (Alt+F4): the settings are written.
  testing::Run("timeout 10 xdotool windowactivate --sync " + pentrax->window +
               " key --clearmodifiers alt+F4");
  ASSERT_EQ(Ended(*pentrax->client), 0);
  const std::string saved = ReadFile(config.Ini());
  EXPECT_NE(saved.find("CustomHeight=900\n"), std::string::npos) << saved;

  // Started again: in the same place; ended by a signal, it stores the same.
  pentrax = std::make_unique<Pentrax>(config);
  EXPECT_TRUE(Eventually([&] { return testing::OuterOf(main()) == placed; }));
  kill(pentrax->client->pid(), SIGTERM);
  ASSERT_EQ(Ended(*pentrax->client), 0);
  EXPECT_EQ(ReadFile(config.Ini()), saved);
}

TEST(E2e, TheXServerGoesAwayAndTheSettingsStayWhole) {
  if (desk->family != "X11") GTEST_SKIP() << "X11 only";
  Folder dpy;
  const std::string number = dpy.path + "/display";
  // -noreset: a server left without clients starts over, and turns away
  // pentrax2 connecting meanwhile.
  Client xvfb({"sh", "-c",
               "exec Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp "
               "-noreset 3>" +
                   number + " 2>/dev/null"});
  ASSERT_TRUE(Eventually([&] { return ReadFile(number).ends_with('\n'); }));
  std::string display = ":" + ReadFile(number);
  display.pop_back();
  // (30 s: a sanitizer build on a busy machine starts slowly.)
  const auto there = [&](const std::string& command) {
    return Eventually(
        [&] { return testing::Run("DISPLAY=" + display + " " + command); },
        30000);
  };
  // Answering before pentrax2 starts, lest it be taken for pentrax2's fault.
  ASSERT_TRUE(there("timeout 5 xwininfo -root")) << display << " is silent";

  Folder config;
  std::filesystem::create_directories(config.path + "/pentrax2");
  const std::string before =
      "[Settings]\nSelectedResolution=2\nCustomWidth=800\nCustomHeight=600\n"
      "AddBorder=1\nBorder=3\nSubtractTaskBar=0\nTaskBar=28\n"
      "TaskBarOrientation=0\nPosLeft=1500\nPosTop=1500\n";
  std::ofstream(config.Ini()) << before;
  const auto pentrax = StartPentrax(config, display);
  ASSERT_TRUE(there("timeout 10 xdotool search --onlyvisible --name Pentrax"))
      << "no window; pentrax2 said: " << ReadFile(config.path + "/stderr");
  xvfb.Kill();
  const int ended = Ended(*pentrax);
  EXPECT_NE(ended, -2) << "pentrax2 did not end";
  EXPECT_NE(ended, 0);
  EXPECT_NE(ReadFile(config.path + "/stderr").find("X11 connection broke"),
            std::string::npos)
      << ReadFile(config.path + "/stderr");
  EXPECT_EQ(ReadFile(config.Ini()), before);
}

// Without a display, a backend or its part (the grammar: the parser's table).
TEST(E2e, SaysWhatItCannotReach) {
  if (desk->family != "X11") GTEST_SKIP() << "X11 only";
  // clang-format off
  ExpectSays({
      {"env -u DISPLAY " PENTRAX2, 2, "pentrax2: no X display: "},
      {"env -u DISPLAY " PENTRAX2 " size", 3, "pentrax2: backend x11: no X display"},
      {"DISPLAY=:9999 " PENTRAX2, 2, "pentrax2: cannot open X display \":9999\""},
      {"env -u DISPLAY " PENTRAX2 " --version", 0, "pentrax2 " PENTRAX_VERSION_TEXT "\n"},
      {PENTRAX2 " --backend mir", 2, "pentrax2: no backend \"mir\""},
      {"XDG_SESSION_TYPE=wayland " PENTRAX2 " -h", 0, "can size only XWayland windows"},
      {"{ d=$(mktemp -d); cp " PENTRAX2 " $d; timeout 9 $d/pentrax2; s=$?; rm -r $d; (exit $s); }", 2, "pentrax2: cannot load its part: "},
  });
  // clang-format on
}

}  // namespace
}  // namespace pentrax
