// The real pentrax2 in the session script of sway, KWin or GNOME Shell: it
// chooses the desktop's backend, sizes a native Wayland window as a user
// would (keys on its XWayland window press the sizing button, the desktop
// activates the window), and its command line puts the window back and goes
// through its journeys (cli_journeys.h). Sizes are read by the desktop
// (sway's tree, a KWin script of the test's own) or by the GNOME window.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "cli_journeys.h"
#include "kwin_script.h"
#include "sway_look.h"
#include "x_session.h"

namespace pentrax {
namespace {

using nlohmann::json;
using testing::Eventually;

const std::string kDesktop = std::getenv("SWAYSOCK") != nullptr ? "sway"
                             : std::getenv("PENTRAX_KWIN_PID") != nullptr
                                 ? "kwin"
                                 : "gnome";
const std::string kTitle = "journey";  // the window to size, and its reports
const std::string kRuntime = std::getenv("XDG_RUNTIME_DIR");
const std::string kReport = kRuntime + "/" + kTitle;
// How the test command made Pentrax's GNOME extension go wrong in this
// session (extension_fixture.cmake): "failing", "out-of-date", or "".
const char* const kFixtureSet = std::getenv("PENTRAX_EXTENSION_FIXTURE");
const std::string kFixture = kFixtureSet != nullptr ? kFixtureSet : "";

// Activates the native window as a click on it would (GNOME gives a new
// window the focus, and no other way).
void Activate() {
  if (kDesktop == "sway") {
    testing::Run("swaymsg '[title=\"^" + kTitle + "$\"] focus'");
  } else if (kDesktop == "kwin") {
    testing::RunKWinScript("activate(byCaption('" + kTitle + "')); send(0);");
  }
}

// The window's outer rectangle and the size of its content, as the desktop
// reads them (sway's tree, a KWin script), or on GNOME as the window reports
// its frame, first or last: it knows no place, and what a client-side
// decorated window draws is all content.
struct Seen {
  std::optional<Rect> outer;
  std::optional<Size> content;
};
Seen Look(bool first = false) {
  if (kDesktop == "sway") {
    const auto s =
        testing::Look([](const testing::Seen& v) { return v.title == kTitle; });
    return s ? Seen{s->outer, Size{s->contentWidth, s->contentHeight}} : Seen{};
  }
  if (kDesktop == "kwin") {
    const json g = testing::RunKWinScript(
        "var w = byCaption('" + kTitle +
        "'), b = w && w.bufferGeometry; "
        "send(w && [describe(w).frame, b.width, b.height]);");
    return g.is_array() ? Seen{Rect{g[0][0], g[0][1], g[0][2], g[0][3]},
                               Size{g[1], g[2]}}
                        : Seen{};
  }
  const std::string line =  // "WxH FW FH ..."
      testing::Run((first ? "head -n1 " : "tail -n1 ") + kReport).value_or("");
  int width = 0, height = 0;
  return std::sscanf(line.c_str(), "%*s %d %d", &width, &height) == 2
             ? Seen{Rect{0, 0, width, height}, Size{width, height}}
             : Seen{};
}

// Whether --help names the backend, with the environment changed so.
bool Chose(const std::string& backend, const std::string& env = "") {
  const auto h = testing::Run("env " + env + " " PENTRAX2 " --help");
  return h && h->find("would get: " + backend + "\n") != std::string::npos;
}

// pentrax2, with its settings in a folder of its own in the session's, and
// its window in front: activated through X, as a pager would.
struct Pentrax {
  testing::Client client{
      {"env", "XDG_CONFIG_HOME=" + kRuntime + "/config", PENTRAX2}};
  WindowHandle window = testing::FindWindowByClass("pentrax2");

  Pentrax() {
    EXPECT_TRUE(testing::Run("timeout 10 xdotool windowactivate --sync " +
                             std::to_string(window)));
    Keys("shift");  // sway 1.12's Xwayland drops the first other XTEST key
  }
  void Keys(const std::string& keys) {
    testing::Run("xdotool key --window " + std::to_string(window) + " " + keys);
  }
  // Moves on to the result box with the keys and copies its text, until it
  // holds what is expected.
  std::string Result(const std::string& keys, const std::string& expected) {
    Keys(keys);
    std::string text;
    Eventually(
        [&] {
          Keys("ctrl+a ctrl+c");
          text = testing::Run("timeout 5 xclip -o -selection clipboard")
                     .value_or("");
          return text.find(expected) != std::string::npos;
        },
        10000);
    return text;
  }
};

// From the first focus (the presets) to the sizing button.
constexpr char kToSizing[] = "Tab Tab Tab Tab Tab Tab";

// Each row's command says the row's words and ends with its status.
void ExpectSays(
    const std::vector<std::tuple<std::string, int, std::string>>& rows) {
  for (const auto& [command, status, says] : rows) {
    const auto out = testing::Run(command + " 2>&1; echo status=$?");
    EXPECT_TRUE(out && out->find(says) != std::string::npos &&
                out->ends_with("status=" + std::to_string(status) + "\n"))
        << command << ": " << out.value_or("");
  }
}

// Pentrax's extension answers only its own pentrax2. Out of service (off
// here, failing or out of date in the sessions made for that), --help, a
// command and the window say why, in the state GNOME Shell gives it, with
// the shell's version, and what to do; a call that fails inside it is said
// as such, never as a window that is gone nor as an empty list.
TEST(WaylandE2e, GnomeExtensionAnswersOnlyPentraxOrSaysWhyNot) {
  if (kDesktop != "gnome") {
    GTEST_SKIP() << "GNOME only";
  }
  std::optional<testing::ExtensionOff> off;
  if (kFixture.empty()) {
    // It answers its pentrax2's file (through a link, not a copy), each once
    // to choose the backend: the bus's calls (dbus-monitor) between marks.
    const std::string copy = kRuntime + "/pentrax2-copy",
                      link = kRuntime + "/pentrax2-link",
                      log = kRuntime + "/bus";
    testing::Client monitor(
        {"sh", "-c",
         "exec dbus-monitor \"interface=dev.pentrax.Shell1\" >" + log});
    const std::string mark =
        "timeout 10 sh -c 'until grep -q member=$0 " + log +
        "; do gdbus call --session --dest org.gnome.Shell --object-path "
        "/dev/pentrax/Shell --method dev.pentrax.Shell1.$0 || :; done' ";
    const std::string refused =
        "answers only the pentrax2 it was installed with, not " + copy + ": ";
    ExpectSays(
        {{"cp " PENTRAX2 " " + copy + " && cp $(dirname " PENTRAX2 ")/*.so " +
              kRuntime + " && ln -sf " PENTRAX2 " " + link,
          0, ""},
         {mark + "Ready", 0, ""},
         {copy + " list", 0, refused},
         {copy + " --backend gnome list", 3,
          "gnome: Pentrax's GNOME extension " + refused},
         {link + " list", 0, ""},
         {mark + "Done", 0, ""},
         {"test $(sed /member=Done/q " + log +
              " | grep -c member=GetForegroundWindow) = 3",
          0, ""}});
    off.emplace();
  } else if (kFixture == "failing") {
    const Pentrax pentrax;  // a window in front, which the extension fails on
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
  EXPECT_NE(
      Pentrax().Result(std::string(kToSizing) + " Tab Tab", why).find(why),
      std::string::npos);
}

// A command that a signal ends (Ctrl-C) while it waits for a pick unloads
// its agent from KWin, as KWin itself tells, and then ends by the signal.
TEST(WaylandE2e, AnInterruptedPickLeavesNoAgentInKWin) {
  if (kDesktop != "kwin") {
    GTEST_SKIP() << "KWin only";
  }
  for (const int signal : {2, 15, 1}) {  // INT, TERM, HUP
    // Its status as the shell sees it, then what KWin says of its agent.
    const std::string out =
        testing::Run(
            "f=$XDG_RUNTIME_DIR/pick; env --default-signal=INT " PENTRAX2
            " size --window pick "
            "2>$f & p=$!; timeout 10 sh -c \"until grep -q Activate "
            "$f; do sleep 0.05; done\"; kill -" +
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

TEST(WaylandE2e, SizesANativeWindowThatTheDesktopActivates) {
  // The desktop's variables are ReadDesktopSession's table; here, whether
  // the desktop answers: a sway socket where nothing listens gives X11.
  ASSERT_TRUE(Eventually([] { return Chose(kDesktop); }, 10000));
  EXPECT_TRUE(kDesktop != "sway" || Chose("x11", "SWAYSOCK=/nowhere"));
  Pentrax pentrax;
  pentrax.Keys(std::string(kToSizing) + " space");
  // The window comes once the button is down: GNOME gives a new window the
  // focus, and no other way to activate a native one.
  testing::Client window({"sh", "-c", "exec \"$@\" >" + kReport, "-",
                          PENTRAX_QT_WINDOW, kTitle, "-platform", "wayland"});
  ASSERT_TRUE(Eventually([] { return Look().outer.has_value(); }, 20000));
  const std::optional<Rect> before = Look(kDesktop == "gnome").outer;
  Activate();
  // 640 x 480, a border of 3 added and a 28-pixel task bar taken off.
  EXPECT_TRUE(Eventually(
      [] {
        const Rect outer = Look().outer.value_or(Rect{});
        return outer.width() == 646 && outer.height() == 458;
      },
      10000));
  const std::string report = kTitle + "\nresized to 646 x 458";
  EXPECT_EQ(pentrax.Result("Tab Tab", report), report);

  // Put back from the command line, then its journeys, each command in a
  // process of its own, by the number that `list` gives in another. Some
  // meet Pentrax's window first, some this one: all number them alike.
  WindowHandle id = 0;
  const auto all = testing::Run(PENTRAX2 " list --json").value_or("{}");
  EXPECT_EQ(all.find("Pentrax 2"), all.npos);  // not Pentrax's own
  for (const json& w : json::parse(all).value("windows", json::array())) {
    if (w["title"] == kTitle) id = w["window"];
  }
  EXPECT_EQ(testing::Run(PENTRAX2 " restore --window " + std::to_string(id)),
            kTitle + "\nrestored its original size\n");
  EXPECT_TRUE(Eventually([&] { return Look().outer == before; }));
  testing::CommandLineJourneys({PENTRAX2, [] { return Look().outer; },
                                [] { return Look().content; }, Activate},
                               id);
}

}  // namespace
}  // namespace pentrax
