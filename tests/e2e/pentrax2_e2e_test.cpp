// The real pentrax2 on a real desktop (Xvfb, openbox, a 28-pixel dock),
// driven with xdotool as a user would drive it. Windows are measured with
// xwininfo and xprop, the report is read through the clipboard, the settings
// on disk; every wait is for one of these, with a deadline. Each pentrax2
// keeps its settings in a folder of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>

#include "cli_journeys.h"
#include "pentrax_version.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Client;
using testing::Eventually;
using testing::OuterOf;
using testing::ReadIndependently;

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

// pentrax2 with its settings in the folder and its standard error in a file
// there; on the session's display unless one is given.
std::unique_ptr<Client> StartPentrax(const Folder& config,
                                     const std::string& display = "") {
  const std::string env = display.empty() ? "" : " DISPLAY=" + display;
  return std::make_unique<Client>(std::vector<std::string>{
      "sh", "-c",
      "exec env XDG_CONFIG_HOME=" + config.path + env + " " + PENTRAX2 + " 2>" +
          config.path + "/stderr"});
}

// How a client that is ending ended (it is left for the client to reap),
// waited for at most 10 s: its exit status, -1 after a signal, -2 when it
// did not end.
int Ended(const Client& c) {
  siginfo_t info{};
  if (!Eventually(
          [&] {
            return waitid(P_PID, static_cast<id_t>(c.pid()), &info,
                          WEXITED | WNOHANG | WNOWAIT) == 0 &&
                   info.si_pid == c.pid();
          },
          10000)) {
    return -2;
  }
  return info.si_code == CLD_EXITED ? info.si_status : -1;
}

// Centres of the controls, in the main window's client coordinates.
constexpr int kGoX = 176, kGoY = 288, kBackY = 324;  // chkGo, chkBack

class Pentrax2Test : public ::testing::Test {
 protected:
  Folder config;
  std::unique_ptr<Client> pentrax;
  WindowHandle mainId = 0;  // the main window's
  std::string main;         // the same, as a command names it
  enum { kNone, kChkGo, kChkBack } armed_ = kNone;

  void Start() {
    pentrax = StartPentrax(config);
    const auto id = testing::Run(
        "timeout 20 xdotool search --sync --onlyvisible --name '^Pentrax 2$'");
    ASSERT_TRUE(id) << "pentrax2 did not show its window";
    mainId = static_cast<WindowHandle>(std::stol(*id));
    main = std::to_string(mainId);
  }

  // Brings the main window to the front, as a user would, and clicks in it.
  void ClickMain(int x, int y) {
    testing::Run("timeout 10 xdotool windowactivate --sync " + main +
                 " mousemove --window " + main + " " + std::to_string(x) + " " +
                 std::to_string(y) + " click 1");
  }

  // Arms a button and activates the window to act on.
  void ArmAndPick(bool restore, WindowHandle target) {
    ClickMain(kGoX, restore ? kBackY : kGoY);
    testing::Activate(target);
    armed_ = restore ? kChkBack : kChkGo;
  }

  // Waits until the result box, copied out as a user would, reads so. The
  // keys go to Pentrax's window while the picked window stays in front:
  // bringing Pentrax to the front before Timer2 fires would make the action
  // find it there and say nothing. The focus is on the button just pressed:
  // Tab leads on to the result box.
  void ExpectReport(const std::string& expected) {
    const std::string keys = "xdotool key --window " + main + " ";
    testing::Run(keys + (armed_ == kChkGo ? "Tab Tab" : "Tab"));
    armed_ = kNone;
    std::string copied;
    EXPECT_TRUE(Eventually(
        [&] {
          testing::Run(keys + "ctrl+a ctrl+c");
          copied = testing::Run(
                       "timeout 5 xclip -o -selection clipboard -t "
                       "UTF8_STRING")
                       .value_or("<none>");
          return copied == expected;
        },
        10000))
        << copied;
  }
};

TEST_F(Pentrax2Test, SizesAWindowAndPutsItBack) {
  Start();
  const std::string title = "Caf\xC3\xA9 e2e";
  std::unique_ptr<Client> window;
  const WindowHandle id = testing::StartWindow(
      window,
      {PENTRAX_TEST_WINDOW, "--title", title, "--geometry", "200x150+300+640"});
  const Rect before = OuterOf(id);

  // Default target: 640 x 480, border 3, task bar 28: 646 x 458, fitted
  // above the dock.
  ArmAndPick(false, id);
  ASSERT_TRUE(Eventually([&] { return OuterOf(id).width() == 646; }, 10000));
  EXPECT_EQ(OuterOf(id),
            (Rect{before.left, 996 - 458, before.left + 646, 996}));
  ExpectReport(title + "\nresized to 646 x 458");

  // Put back from the command line, in another process.
  EXPECT_EQ(testing::Run(std::string(PENTRAX2) + " restore --window " +
                         std::to_string(id)),
            title + "\nrestored its original size\n");
  EXPECT_TRUE(Eventually([&] { return OuterOf(id) == before; }, 10000));

  // A command acts only where the buttons act: not on the dock, the window
  // manager's frame or Pentrax's own window, by number or in front.
  const std::string dock = *testing::Run(
      "for w in $(xdotool search --classname pentrax-test); do xprop -id $w "
      "_NET_WM_WINDOW_TYPE | grep -q DOCK && printf '%s ' $w; done");
  const auto rects = [&] {
    return std::vector{OuterOf(std::stoi(dock)), OuterOf(id), OuterOf(mainId)};
  };
  const auto unmoved = rects();
  testing::Run("timeout 10 xdotool windowactivate --sync " + main);
  EXPECT_EQ(testing::Run("for w in " + dock + main + " $(xwininfo -tree -id " +
                         std::to_string(id) +
                         " | sed -n 's/.*Parent window id: //p' | cut -d' ' "
                         "-f1) active; do " PENTRAX2
                         " size 640x480 --window $w; echo $?; done"),
            "3\n3\n3\n3\n");
  EXPECT_EQ(rects(), unmoved);
}

TEST_F(Pentrax2Test, SettingsAndPlaceSurviveARestart) {
  Start();
  const Rect first = OuterOf(mainId);
  testing::Run("xdotool windowmove " + main + " 210 120");
  ASSERT_TRUE(Eventually([&] { return OuterOf(mainId) != first; }));
  const Rect placed = OuterOf(mainId);
  EXPECT_EQ(ReadFile(config.Ini()), "");  // nothing written before a close

  // Closed by the window manager (Alt+F4): the settings are written.
  testing::Run("timeout 10 xdotool windowactivate --sync " + main +
               " key --clearmodifiers alt+F4");
  ASSERT_EQ(Ended(*pentrax), 0);
  // What is written is for the settings suite to check, and how the user's
  // choices reach the model for the Qt view's; here: that it is written.
  const std::string saved = ReadFile(config.Ini());
  EXPECT_NE(saved.find("CustomHeight=900\n"), std::string::npos) << saved;

  // Started again: in the same place; ended by a signal (a logout, a kill),
  // it closes its window and stores the same values again.
  Start();
  EXPECT_TRUE(Eventually([&] { return OuterOf(mainId) == placed; }));
  kill(pentrax->pid(), SIGTERM);
  ASSERT_EQ(Ended(*pentrax), 0);
  EXPECT_EQ(ReadFile(config.Ini()), saved);
}

TEST(Pentrax2Faults, TheXServerGoesAwayAndTheSettingsStayWhole) {
  Folder dpy;
  const std::string number = dpy.path + "/display";
  // -noreset: a server without clients starts over, and a client that
  // connects meanwhile (pentrax2, just after the check below has left) is
  // turned away.
  Client xvfb({"sh", "-c",
               "exec Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp "
               "-noreset 3>" +
                   number + " 2>/dev/null"});
  ASSERT_TRUE(Eventually([&] { return ReadFile(number).ends_with('\n'); }));
  std::string display = ":" + ReadFile(number);
  display.pop_back();
  // The server answers before pentrax2 starts: a server that does not is
  // not taken for a pentrax2 that does not show its window.
  ASSERT_TRUE(Eventually(
      [&] {
        return testing::Run("DISPLAY=" + display + " timeout 5 xwininfo -root")
            .has_value();
      },
      30000))
      << "the X server on " << display << " does not answer";

  Folder config;
  std::filesystem::create_directories(config.path + "/pentrax2");
  const std::string before =
      "[Settings]\nSelectedResolution=2\nCustomWidth=800\nCustomHeight=600\n"
      "AddBorder=1\nBorder=3\nSubtractTaskBar=0\nTaskBar=28\n"
      "TaskBarOrientation=0\nPosLeft=1500\nPosTop=1500\n";
  std::ofstream(config.Ini()) << before;
  const auto pentrax = StartPentrax(config, display);
  ASSERT_TRUE(Eventually(
      [&] {
        return testing::Run("DISPLAY=" + display +
                            " timeout 10 xdotool search --onlyvisible --name "
                            "'^Pentrax 2$'")
            .has_value();
      },
      30000))  // a sanitizer build on a busy machine starts slowly
      << "no window on " << display
      << "; pentrax2 said: " << ReadFile(config.path + "/stderr");
  xvfb.Kill();
  const int ended = Ended(*pentrax);
  EXPECT_NE(ended, -2) << "pentrax2 did not end";
  EXPECT_NE(ended, 0);
  EXPECT_NE(ReadFile(config.path + "/stderr").find("X11 connection broke"),
            std::string::npos)
      << ReadFile(config.path + "/stderr");
  EXPECT_EQ(ReadFile(config.Ini()), before);
}

TEST(Pentrax2CommandLine, AnswersWithoutADisplayAndActsOnTheDesktop) {
  // The command (@: pentrax2), what its output holds, its exit status (the
  // grammar is the parser's table).
  const std::tuple<std::string, std::string, int> rows[] = {
      {"env -u DISPLAY @", "pentrax2: no X display: ", 2},
      {"env -u DISPLAY @ size", "pentrax2: backend x11: no X display", 3},
      {"DISPLAY=:9999 @", "pentrax2: cannot open X display \":9999\"", 2},
      {"env -u DISPLAY @ --version", "pentrax2 " PENTRAX_VERSION_TEXT "\n", 0},
      {"env -u DISPLAY @ -h", "  size [WxH]   size a window", 0},
      {"@ --backend mir", "pentrax2: no backend \"mir\"", 2},
      {"XDG_SESSION_TYPE=wayland @ -h", "can size only XWayland windows", 0},
      {"{ d=$(mktemp -d); cp @ $d; timeout 9 $d/pentrax2; s=$?; rm -r $d; "
       "(exit $s); }",
       "pentrax2: cannot load its part: ", 2}};
  for (auto [command, said, status] : rows) {
    command.replace(command.find('@'), 1, PENTRAX2);
    const std::string out =
        testing::Run(command + " 2>&1; echo status=$?").value_or("");
    EXPECT_NE(out.find(said), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with("status=" + std::to_string(status) + "\n"))
        << out;
  }
  std::unique_ptr<Client> window;
  const WindowHandle id =
      testing::StartWindow(window, {PENTRAX_TEST_WINDOW, "--title", "journeys",
                                    "--geometry", "300x200+200+150"});
  testing::CommandLineJourneys(
      {PENTRAX2, [id] { return std::optional(OuterOf(id)); },
       [id]() -> std::optional<Size> {
         const auto r = ReadIndependently(id);
         return r ? std::optional(Size{r->client.width(), r->client.height()})
                  : std::nullopt;
       },
       [id] {
         testing::Run("timeout 10 xdotool windowactivate --sync " +
                      std::to_string(id));
       }},
      id);
}

}  // namespace
}  // namespace pentrax
