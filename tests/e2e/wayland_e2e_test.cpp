// The real pentrax2 in the session script of sway, KWin or GNOME Shell: it
// chooses the desktop's backend and sizes a native Wayland window as a user
// would have it: keys on its XWayland window press the sizing button, the
// desktop activates the window, the result box is copied through the X
// clipboard. The size is read by the desktop (sway's tree, a KWin script of
// the test's own) or, on GNOME, from the window's own report.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>

#include "kwin_script.h"
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
const std::string kReport = std::getenv("XDG_RUNTIME_DIR") + ("/" + kTitle);

// Activates the native window as a click on it would (GNOME gives a new
// window the focus, and no other way).
void Activate() {
  if (kDesktop == "sway") {
    testing::Run("swaymsg '[title=\"^" + kTitle + "$\"] focus'");
  } else if (kDesktop == "kwin") {
    testing::RunKWinScript("workspace.activeClient = byCaption('" + kTitle +
                           "'); send(0);");
  }
}

// The window's outer size as the desktop reads it, "" until it is seen.
std::string OuterSize() {
  if (kDesktop == "sway") {
    const json tree = json::parse(
        testing::Run("swaymsg -r -t get_tree").value_or(""), nullptr, false);
    const json flat = tree.is_object() ? tree.flatten() : json::object();
    for (const auto& [key, value] : flat.items()) {
      const std::string at = key.substr(0, key.size() - 4);
      if (key.ends_with("/name") && value == kTitle &&
          flat.contains(at + "pid")) {
        return std::to_string(flat[at + "rect/width"].get<int>()) + "x" +
               std::to_string(flat[at + "rect/height"].get<int>() +
                              flat[at + "deco_rect/height"].get<int>());
      }
    }
    return "";
  }
  if (kDesktop == "kwin") {
    const json size =
        testing::RunKWinScript("var g = byCaption('" + kTitle +
                               "'); g = g && g.frameGeometry; "
                               "send(g ? g.width + 'x' + g.height : '');");
    return size.is_string() ? size.get<std::string>() : "";
  }
  std::string line, last, width, height;  // "WxH FW FH ..."
  for (std::ifstream in(kReport); std::getline(in, line);) last = line;
  std::istringstream(last) >> width >> width >> height;
  return height.empty() ? "" : width + "x" + height;
}

// Whether --help names the backend, with the environment changed so.
bool Chose(const std::string& backend, const std::string& env = "") {
  const auto help = testing::Run("env " + env + " " PENTRAX2 " --help");
  return help && help->find("would get: " + backend + "\n") != std::string::npos;
}

// pentrax2, with its settings in a folder of its own in the session's, and
// its window in front.
struct Pentrax {
  testing::Client client{
      {"env",
       "XDG_CONFIG_HOME=" + std::string(std::getenv("XDG_RUNTIME_DIR")) +
           "/config",
       PENTRAX2}};
  WindowHandle window = testing::FindWindowByClass("pentrax2");

  // In front: activated through X, as a pager would.
  Pentrax() {
    EXPECT_TRUE(testing::Run("timeout 10 xdotool windowactivate --sync " +
                             std::to_string(window)));
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

// The desktop's variables are ReadDesktopSession's table; here, whether
// the desktop answers: a sway socket where nothing listens gives X11.
TEST(WaylandE2e, ChoosesTheBackendFromTheSession) {
  EXPECT_TRUE(Chose(kDesktop));
  EXPECT_TRUE(kDesktop != "sway" || Chose("x11", "SWAYSOCK=/nowhere"));
}

TEST(WaylandE2e, GnomeWithoutItsExtensionSaysHowToEnableIt) {
  if (kDesktop != "gnome") {
    GTEST_SKIP() << "GNOME only";
  }
  const testing::ExtensionOff off;
  ASSERT_TRUE(Eventually([] { return Chose("x11"); }, 10000));
  Pentrax pentrax;
  const std::string hint = "gnome-extensions enable pentrax@pentrax.dev";
  EXPECT_NE(
      pentrax.Result(std::string(kToSizing) + " Tab Tab", hint).find(hint),
      std::string::npos);
}

TEST(WaylandE2e, SizesANativeWindowThatTheDesktopActivates) {
  ASSERT_TRUE(Eventually([] { return Chose(kDesktop); }, 10000));
  Pentrax pentrax;
  pentrax.Keys(std::string(kToSizing) + " space");
  // The window comes once the button is down: GNOME gives a new window the
  // focus, and no other way to activate a native one.
  testing::Client window({"sh", "-c",
                          "exec env QT_QPA_PLATFORM=wayland " PENTRAX_QT_WINDOW
                          " " +
                              kTitle + " >" + kReport});
  ASSERT_TRUE(Eventually([] { return OuterSize() != ""; }, 20000));
  Activate();
  // 640 x 480, a border of 3 added and a 28-pixel task bar taken off.
  EXPECT_TRUE(Eventually([] { return OuterSize() == "646x458"; }, 10000))
      << OuterSize();
  const std::string report = kTitle + "\nresized to 646 x 458";
  EXPECT_EQ(pentrax.Result("Tab Tab", report), report);
}

}  // namespace
}  // namespace pentrax
