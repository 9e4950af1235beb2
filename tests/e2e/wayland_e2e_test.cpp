// The real pentrax2 on a Wayland desktop, inside that desktop's session
// script (sway, KWin or GNOME Shell): it chooses the desktop's backend and
// sizes a native Wayland window, driven as a user would drive it: keys on
// its XWayland window press the sizing button, the desktop activates the
// window, and the result box is read through the X clipboard. The window's
// size is read by the desktop itself (sway's tree, a KWin script of the
// test's own) or, on GNOME, from the window's own report.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "kwin_script.h"
#include "x_session.h"

namespace pentrax {
namespace {

using nlohmann::json;
using testing::Eventually;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A command run as the session's user (sway's runs as nobody under root, and
// its XWayland lets in only that user), in the shell.
std::optional<std::string> Sh(const std::string& command) {
  return testing::Run(Env("PENTRAX_SWAY_CLIENT") + " " + command);
}

// A program of the build, copied where the session's user can run it.
std::string Copied(const std::string& program) {
  const std::string copy = Env("XDG_RUNTIME_DIR") + "/" +
                           std::filesystem::path(program).filename().string();
  std::filesystem::copy_file(program, copy,
                             std::filesystem::copy_options::skip_existing);
  return copy;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The desktop's own view: the backend Pentrax should choose there, how a
// window is activated (as a click on it would), and a window's outer size,
// "WxH" (empty until it is seen). A native window's report is kept in a file
// named after its title.
struct Desktop {
  std::string backend;
  std::function<void(const std::string& title)> activate;
  std::function<std::string(const std::string& title)> size;
};

std::string Report(const std::string& title) {
  return Env("XDG_RUNTIME_DIR") + "/" + title + ".out";
}

Desktop ThisDesktop() {
  if (!Env("SWAYSOCK").empty()) {
    const auto size = [](const std::string& t) {
      std::function<std::string(const json&)> find = [&](const json& n) {
        if (n.value("name", json()) == t && n.contains("pid")) {
          return std::to_string(n["rect"]["width"].get<int>()) + "x" +
                 std::to_string(n["rect"]["height"].get<int>() +
                                n["deco_rect"]["height"].get<int>());
        }
        for (const char* list : {"nodes", "floating_nodes"}) {
          for (const json& child : n.value(list, json::array())) {
            if (auto s = find(child); !s.empty()) return s;
          }
        }
        return std::string();
      };
      return find(json::parse(Sh("swaymsg -r -t get_tree").value_or(""),
                              nullptr, false));
    };
    return {"sway",
            [](const std::string& t) {
              Sh("swaymsg " + Quoted("[title=\"^" + t + "$\"] focus"));
            },
            size};
  }
  if (!Env("PENTRAX_KWIN_PID").empty()) {
    const auto find = [](const std::string& t) {
      return "var w = byCaption(" + json(t).dump() + ");";
    };
    return {"kwin",
            [=](const std::string& t) {
              testing::RunKWinScript(find(t) +
                                     "if (w) workspace.activeClient = w;"
                                     "send(0);");
            },
            [=](const std::string& t) -> std::string {
              const json f = testing::RunKWinScript(
                  find(t) + "send(w && describe(w).frame);");
              if (!f.is_array()) return "";
              return std::to_string(f[2].get<int>() - f[0].get<int>()) + "x" +
                     std::to_string(f[3].get<int>() - f[1].get<int>());
            }};
  }
  // GNOME gives the focus to a new window, and lets an XWayland one be
  // activated through X.
  return {"gnome",
          [](const std::string& t) {
            Sh("xdotool search --name " + Quoted("^" + t + "$") +
               " windowactivate");
          },
          [](const std::string& t) {
            std::string line, last, w, h;
            for (std::ifstream in(Report(t)); std::getline(in, line);) {
              last = line;
            }
            std::istringstream(last) >> w >> w >> h;  // "WxH FW FH ..."
            return h.empty() ? "" : w + "x" + h;
          }};
}

std::string Help() { return Sh(Copied(PENTRAX2) + " --help").value_or(""); }
std::string Chosen(const std::string& backend) {
  return "this session would get: " + backend + ")";
}

// pentrax2, with its settings in a folder of its own in the session.
struct Pentrax {
  std::string config =
      Env("XDG_RUNTIME_DIR") + "/config" + std::to_string(++started);
  testing::Client client{{"sh", "-c",
                          "exec " + Env("PENTRAX_SWAY_CLIENT") +
                              " env XDG_CONFIG_HOME=" + config + " " +
                              Copied(PENTRAX2)}};
  std::string window =
      Sh("timeout 20 xdotool search --sync --onlyvisible --name "
         "'^Pentrax 2$' | head -n1 | tr -d '\\n'")
          .value_or("");
  static inline int started = 0;

  ~Pentrax() {
    client.Kill();
    std::filesystem::remove_all(config);
  }

  // Brought to the front by the desktop, until X says it is in front.
  void Activate(const Desktop& desktop) {
    std::ostringstream hex;
    hex << "# 0x" << std::hex << std::stoul("0" + window) << "\n";
    EXPECT_TRUE(Eventually(
        [&] {
          desktop.activate("Pentrax 2");
          return Sh("xprop -root _NET_ACTIVE_WINDOW")
              .value_or("")
              .ends_with(hex.str());
        },
        10000))
        << "Pentrax's window did not come to the front";
  }
  void Keys(const std::string& keys) {
    Sh("xdotool key --window " + window + " " + keys);
  }
  // Moves on to the result box with the keys, and copies its text.
  std::string Result(const std::string& keys) {
    Keys(keys);
    std::string copied;
    Eventually(
        [&] {
          Keys("ctrl+a ctrl+c");
          copied = Sh("timeout 5 xclip -o -selection clipboard -t "
                      "UTF8_STRING")
                       .value_or("");
          return copied.find(' ') != std::string::npos;
        },
        10000);
    return copied;
  }
};

// From the first focus (the presets), the tab stops to the sizing button.
constexpr char kTabsToSizing[] = "Tab Tab Tab Tab Tab Tab";

TEST(WaylandE2e, GnomeWithoutItsExtensionSaysHowToEnableIt) {
  if (ThisDesktop().backend != "gnome") {
    GTEST_SKIP() << "GNOME only";
  }
  const std::string extension =
      "gdbus call --session --dest org.gnome.Shell --object-path "
      "/org/gnome/Shell --method org.gnome.Shell.Extensions.";
  ASSERT_TRUE(Sh(extension + "DisableExtension pentrax@pentrax.dev"));
  EXPECT_TRUE(Eventually(
      [] { return Help().find(Chosen("x11")) != std::string::npos; }, 10000));
  {
    Pentrax pentrax;
    pentrax.Activate(ThisDesktop());
    EXPECT_NE(pentrax.Result(std::string(kTabsToSizing) + " Tab Tab")
                  .find("gnome-extensions enable pentrax@pentrax.dev"),
              std::string::npos);
  }
  ASSERT_TRUE(Sh(extension + "EnableExtension pentrax@pentrax.dev"));
  EXPECT_TRUE(Eventually(
      [] { return Help().find(Chosen("gnome")) != std::string::npos; }, 10000));
}

TEST(WaylandE2e, SizesANativeWindowThatTheDesktopActivates) {
  const Desktop desktop = ThisDesktop();
  EXPECT_NE(Help().find(Chosen(desktop.backend)), std::string::npos) << Help();
  Pentrax pentrax;
  ASSERT_FALSE(pentrax.window.empty()) << "pentrax2 did not show its window";
  pentrax.Activate(desktop);
  pentrax.Keys(std::string(kTabsToSizing) + " space");

  // The window appears once the button is down: GNOME gives a new window
  // the focus, and no other way to activate a native one.
  const std::string title = "journey";
  testing::Client target(
      {"sh", "-c",
       "exec " + Env("PENTRAX_SWAY_CLIENT") + " env QT_QPA_PLATFORM=wayland " +
           Copied(PENTRAX_QT_WINDOW) + " " + title + " >" + Report(title)});
  ASSERT_TRUE(Eventually([&] { return !desktop.size(title).empty(); }, 20000));
  desktop.activate(title);

  // 640 x 480, with a border of 3 and less a 28-pixel task bar.
  EXPECT_TRUE(
      Eventually([&] { return desktop.size(title) == "646x458"; }, 10000))
      << desktop.size(title);
  EXPECT_EQ(pentrax.Result("Tab Tab"), title + "\nresized to 646 x 458");
}

}  // namespace
}  // namespace pentrax

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // for the KWin scripts' answers
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
