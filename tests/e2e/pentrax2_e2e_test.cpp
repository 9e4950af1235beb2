// The real pentrax2 on a real desktop (Xvfb, openbox, a 28-pixel dock),
// driven with xdotool as a user would drive it; the windows are measured with
// xwininfo and xprop, and the report is read through the clipboard.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <string>

#include "x_session.h"

namespace pentrax {
namespace {

using testing::Activate;
using testing::Client;
using testing::Eventually;
using testing::FindWindowByClass;
using testing::ReadIndependently;

// Centres of the controls, in the main window's client coordinates.
constexpr int kGoX = 176, kGoY = 288;
constexpr int kBackX = 176, kBackY = 324;
constexpr int kResultX = 150, kResultY = 360;

class Pentrax2Test : public ::testing::Test {
 protected:
  std::unique_ptr<Client> pentrax;
  WindowHandle main = 0;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "needs an X display: run through with-x-session.sh";
    }
    pentrax = std::make_unique<Client>(std::vector<std::string>{PENTRAX2});
    const auto id = testing::Run(
        "timeout 20 xdotool search --sync --onlyvisible --name '^Pentrax 2$'");
    ASSERT_TRUE(id) << "pentrax2 did not show its window";
    main = static_cast<WindowHandle>(std::stol(*id));
    // Let the first timer tick read the screen.
    testing::SleepMs(300);
  }

  // Brings the main window to the front, as a user would, and clicks in it.
  void ClickMain(int x, int y) {
    testing::Run("timeout 10 xdotool windowactivate --sync " +
                 std::to_string(main));
    testing::Run("xdotool mousemove --window " + std::to_string(main) + " " +
                 std::to_string(x) + " " + std::to_string(y) + " click 1");
  }

  // The report, as a user would copy it out of the result box.
  std::string Report() {
    ClickMain(kResultX, kResultY);
    testing::Run("xdotool key --clearmodifiers ctrl+a ctrl+c");
    testing::SleepMs(100);
    return testing::Run("timeout 5 xclip -o -selection clipboard")
        .value_or("<none>");
  }

  // Arms a button, then picks the window, and waits for the action to run
  // (it follows the pick by 400 ms).
  void ArmAndPick(int x, int y, WindowHandle target) {
    ClickMain(x, y);
    testing::SleepMs(250);
    Activate(target);
    testing::SleepMs(900);
  }

  Rect Outer(WindowHandle w) {
    const auto r = ReadIndependently(w);
    EXPECT_TRUE(r);
    return r ? r->Outer() : Rect{};
  }
};

TEST_F(Pentrax2Test, SizesAWindowAndPutsItBack) {
  Client clock({"xclock", "-name", "e2eclock", "-geometry", "200x150+300+640"});
  const WindowHandle id = FindWindowByClass("e2eclock");
  ASSERT_GT(id, 0);
  ASSERT_TRUE(Eventually([&] {
    const auto r = ReadIndependently(id);
    return r && r->frame == r->Outer() && r->extents[2] > 0;
  }));
  const Rect before = Outer(id);

  // Default target: 640 x 480, border 3, task bar 28: 646 x 458, fitted
  // above the dock.
  ArmAndPick(kGoX, kGoY, id);
  ASSERT_TRUE(Eventually([&] { return Outer(id).width() == 646; }));
  const auto after = ReadIndependently(id);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->Outer().width(), 646);
  EXPECT_EQ(after->Outer().height(), 458);
  EXPECT_EQ(after->frame, after->Outer());
  EXPECT_EQ(after->Outer().left, before.left);
  EXPECT_EQ(after->Outer().bottom, 996);
  EXPECT_EQ(Report(), "e2eclock\nresized to 646 x 458");

  ArmAndPick(kBackX, kBackY, id);
  ASSERT_TRUE(Eventually([&] { return Outer(id) == before; }));
  EXPECT_EQ(Report(), "e2eclock\nrestored its original size");

  ArmAndPick(kBackX, kBackY, id);
  EXPECT_EQ(Report(), "e2eclock\noriginal size has already been restored");
  EXPECT_EQ(Outer(id), before);

  Client stranger(
      {"xclock", "-name", "stranger", "-geometry", "120x120+700+100"});
  const WindowHandle other = FindWindowByClass("stranger");
  ASSERT_GT(other, 0);
  const Rect untouched = Outer(other);
  ArmAndPick(kBackX, kBackY, other);
  EXPECT_EQ(Report(), "stranger\nis unknown and cannot be sized back");
  EXPECT_EQ(Outer(other), untouched);
}

// Client coordinates of a few more controls.
constexpr int kCustomX = 212, kCustomY = 88;  // optRes(7)
constexpr int kBreitX = 249, kBreitY = 105;   // txtBreit
constexpr int kBorderCheckX = 24, kBorderCheckY = 150;
constexpr int kVerticalX = 126, kVerticalY = 228;  // optTask(1)

std::string ReadFile(const std::string& path) {
  return testing::Run("cat '" + path + "'").value_or("");
}

TEST_F(Pentrax2Test, ChoicesAndPlaceSurviveARestart) {
  // This test starts its own pentrax2s with a configuration folder of its own.
  pentrax.reset();
  char folder[] = "/tmp/pentrax-config.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  setenv("XDG_CONFIG_HOME", folder, 1);
  const std::string ini = std::string(folder) + "/pentrax2/pentrax2.ini";

  auto start = [&] {
    pentrax = std::make_unique<Client>(std::vector<std::string>{PENTRAX2});
    const auto id = testing::Run(
        "timeout 20 xdotool search --sync --onlyvisible --name '^Pentrax 2$'");
    ASSERT_TRUE(id);
    main = static_cast<WindowHandle>(std::stol(*id));
    testing::SleepMs(500);
  };
  auto closeByWindowManager = [&] {
    testing::Run("timeout 10 xdotool windowactivate --sync " +
                 std::to_string(main) + " key --clearmodifiers alt+F4");
    ASSERT_TRUE(Eventually(
        [&] {
          return !testing::Run("xwininfo -id " + std::to_string(main))
                      .has_value();
        },
        10000));
    pentrax->Kill();  // reaps it; it has ended already
  };

  start();
  EXPECT_EQ(ReadFile(ini), "");  // nothing written before the first close
  ClickMain(kCustomX, kCustomY);
  ClickMain(kBreitX, kBreitY);
  testing::Run("xdotool type 1000");
  testing::Run("xdotool key Tab");
  testing::Run("xdotool type 700");
  ClickMain(kBorderCheckX, kBorderCheckY);
  ClickMain(kVerticalX, kVerticalY);
  testing::Run("xdotool windowmove " + std::to_string(main) + " 210 120");
  testing::SleepMs(300);
  const Rect placed = Outer(main);
  closeByWindowManager();

  const std::string saved = ReadFile(ini);
  for (const char* line :
       {"[Settings]", "SelectedResolution=7", "CustomWidth=1000",
        "CustomHeight=700", "AddBorder=0", "Border=3", "SubtractTaskBar=1",
        "TaskBar=28", "TaskBarOrientation=1", "PosLeft=", "PosTop="}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line << " in\n" << saved;
  }

  // Started again: same place, and closing it again stores the same values.
  start();
  EXPECT_EQ(Outer(main), placed);
  closeByWindowManager();
  EXPECT_EQ(ReadFile(ini), saved);
  unsetenv("XDG_CONFIG_HOME");
  testing::Run(std::string("rm -rf '") + folder + "'");
}

bool Alive(const Client& c) { return c.pid() > 0 && kill(c.pid(), 0) == 0; }

// The exit status of a client that is ending, waited for at most 10 s; -1
// when it did not end.
int ExitStatus(const Client& c) {
  int status = 0;
  for (int i = 0; i < 500; ++i) {
    if (waitpid(c.pid(), &status, WNOHANG) == c.pid()) {
      return status;
    }
    testing::SleepMs(20);
  }
  return -1;
}

TEST_F(Pentrax2Test, TargetClosedBetweenThePickAndTheAction) {
  std::unique_ptr<Client> doomed = std::make_unique<Client>(
      std::vector<std::string>{PENTRAX_TEST_WINDOW, "--class", "doomed"});
  const WindowHandle id =
      static_cast<WindowHandle>(std::stoul(doomed->ReadLine(), nullptr, 16));
  ASSERT_TRUE(Eventually([&] { return testing::IcccmState(id) == "Normal"; }));
  ClickMain(kGoX, kGoY);
  testing::SleepMs(250);
  Activate(id);
  testing::SleepMs(150);  // seen by a tick; the action follows 400 ms later
  doomed->Kill();
  testing::SleepMs(800);
  ASSERT_TRUE(Alive(*pentrax));
  EXPECT_EQ(Report().find("resized to"), std::string::npos);

  // And it goes on working.
  Client clock(
      {"xclock", "-name", "afterwards", "-geometry", "200x150+100+100"});
  const WindowHandle next = FindWindowByClass("afterwards");
  ArmAndPick(kGoX, kGoY, next);
  EXPECT_EQ(Report(), "afterwards\nresized to 646 x 458");
}

TEST_F(Pentrax2Test, ASettingsFolderThatCannotBeWrittenDoesNotStopIt) {
  pentrax.reset();
  char folder[] = "/tmp/pentrax-config.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  // A file where the settings folder would go: nothing can be created in
  // it, for root too.
  const std::string blocked = std::string(folder) + "/blocked";
  testing::Run("touch " + blocked);
  const std::string log = std::string(folder) + "/stderr";
  pentrax = std::make_unique<Client>(std::vector<std::string>{
      "sh", "-c",
      "XDG_CONFIG_HOME=" + blocked + " exec " + PENTRAX2 + " 2>" + log});
  const auto id = testing::Run(
      "timeout 20 xdotool search --sync --onlyvisible --name '^Pentrax 2$'");
  ASSERT_TRUE(id);
  main = static_cast<WindowHandle>(std::stol(*id));
  testing::SleepMs(300);
  // Ended as a logout or a kill ends it: the window closes and saves.
  kill(pentrax->pid(), SIGTERM);
  const int status = ExitStatus(*pentrax);
  ASSERT_NE(status, -1) << "pentrax2 did not end";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string said = ReadFile(log);
  EXPECT_NE(said.find("pentrax2: settings: "), std::string::npos) << said;
  EXPECT_NE(said.find("not saved"), std::string::npos) << said;
  testing::Run(std::string("rm -rf '") + folder + "'");
}

// Takes the session's window manager away for good: keep it the last test of
// this fixture.
TEST_F(Pentrax2Test, KeepsWorkingWhenTheWindowManagerIsReplaced) {
  const char* wmPid = std::getenv("PENTRAX_WM_PID");
  ASSERT_NE(wmPid, nullptr);
  std::unique_ptr<Client> c = std::make_unique<Client>(
      std::vector<std::string>{PENTRAX_TEST_WINDOW, "--class", "survivor",
                               "--geometry", "300x200+400+300"});
  const WindowHandle id =
      static_cast<WindowHandle>(std::stoul(c->ReadLine(), nullptr, 16));
  ASSERT_TRUE(Eventually([&] { return testing::IcccmState(id) == "Normal"; }));

  kill(std::atoi(wmPid), SIGTERM);
  ASSERT_TRUE(Eventually([&] {
    return testing::Run("xprop -root _NET_SUPPORTING_WM_CHECK")
                   .value_or("")
                   .find("window id") == std::string::npos ||
           !testing::Run(
                "xwininfo -id $(xprop -root _NET_SUPPORTING_WM_CHECK | "
                "awk '{print $5}')")
                .has_value();
  }));
  testing::SleepMs(700);
  ASSERT_TRUE(Alive(*pentrax));

  // No window manager: the focus tells the pick, and the window is
  // configured directly (it has no frame now).
  testing::Run("xdotool mousemove --window " + std::to_string(main) + " " +
               std::to_string(kGoX) + " " + std::to_string(kGoY) + " click 1");
  testing::Run("xdotool windowfocus " + std::to_string(main));
  testing::SleepMs(300);
  testing::Run("xdotool windowfocus " + std::to_string(id));
  ASSERT_TRUE(Eventually([&] {
    const auto r = ReadIndependently(id);
    return r && r->client.width() == 646 && r->client.height() == 458;
  }));
  ASSERT_TRUE(Alive(*pentrax));

  // A new window manager: back to EWMH.
  char home[] = "/tmp/pentrax-wm.XXXXXX";
  ASSERT_NE(mkdtemp(home), nullptr);
  Client wm({"env", std::string("HOME=") + home, "openbox"});
  ASSERT_TRUE(Eventually(
      [&] {
        const auto r = ReadIndependently(id);
        return r && r->extents[2] > 0 && r->frame == r->Outer();
      },
      5000));
  testing::SleepMs(300);
  ArmAndPick(kBackX, kBackY, id);
  EXPECT_EQ(Report(), "\nrestored its original size");
  const auto r = ReadIndependently(id);
  ASSERT_TRUE(r);
  // Its outer size then, without a frame, is its outer size now.
  EXPECT_EQ(r->Outer().width(), 300);
  EXPECT_EQ(r->Outer().height(), 200);
  wm.Kill();
  testing::Run(std::string("rm -rf '") + home + "'");
}

// A private X server, for the tests that take it away.
class PrivateDisplay {
 public:
  PrivateDisplay() {
    char name[] = "/tmp/pentrax-dpy.XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    const std::string cmd = "Xvfb -displayfd " + std::to_string(fd) +
                            " -screen 0 800x600x24 -nolisten tcp";
    server_ = std::make_unique<Client>(
        std::vector<std::string>{"sh", "-c", "exec " + cmd + " 2>/dev/null"});
    Eventually([&] { return !ReadDisplay().empty(); }, 5000);
    display_ = ":" + ReadDisplay();
    close(fd);
  }
  ~PrivateDisplay() {
    server_->Kill();
    unlink(path_.c_str());
  }
  const std::string& display() const { return display_; }
  void Kill() { server_->Kill(); }

 private:
  std::string ReadDisplay() const {
    std::string s = testing::Run("cat " + path_).value_or("");
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
  }
  std::string path_, display_;
  std::unique_ptr<Client> server_;
};

TEST(Pentrax2Faults, TheXServerGoesAwayAndTheSettingsStayWhole) {
  PrivateDisplay x;
  char folder[] = "/tmp/pentrax-config.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string ini = std::string(folder) + "/pentrax2/pentrax2.ini";
  testing::Run("mkdir -p " + std::string(folder) + "/pentrax2");
  const std::string saved =
      "[Settings]\nSelectedResolution=2\nCustomWidth=800\nCustomHeight=600\n"
      "AddBorder=1\nBorder=3\nSubtractTaskBar=0\nTaskBar=28\n"
      "TaskBarOrientation=0\nPosLeft=1500\nPosTop=1500\n";
  testing::Run("printf '" + saved + "' > " + ini);
  const std::string before = ReadFile(ini);

  const std::string log = std::string(folder) + "/stderr";
  Client pentrax({"sh", "-c",
                  "DISPLAY=" + x.display() + " XDG_CONFIG_HOME=" + folder +
                      " exec " + PENTRAX2 + " 2>" + log});
  ASSERT_TRUE(Eventually(
      [&] {
        return testing::Run(
                   "DISPLAY=" + x.display() +
                   " xdotool search --onlyvisible --name '^Pentrax 2$'")
            .has_value();
      },
      10000));
  x.Kill();
  const int status = ExitStatus(pentrax);
  ASSERT_NE(status, -1) << "pentrax2 did not end";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << status;
  EXPECT_NE(ReadFile(log).find("X11 connection broke"), std::string::npos)
      << ReadFile(log);
  EXPECT_EQ(ReadFile(ini), before);
  testing::Run(std::string("rm -rf '") + folder + "'");
}

TEST(Pentrax2NoDisplay, ExitsWithAClearMessage) {
  const auto out = testing::Run(std::string("env -u DISPLAY ") + PENTRAX2 +
                                " 2>&1; echo status=$?");
  ASSERT_TRUE(out);
  EXPECT_TRUE(std::regex_search(*out, std::regex("^pentrax2: no X display")))
      << *out;
  EXPECT_NE(out->find("status=2"), std::string::npos) << *out;
  const auto bad = testing::Run(std::string("DISPLAY=:9999 ") + PENTRAX2 +
                                " 2>&1; echo status=$?");
  ASSERT_TRUE(bad);
  EXPECT_NE(bad->find("cannot open X display \":9999\""), std::string::npos)
      << *bad;
  EXPECT_NE(bad->find("status=2"), std::string::npos) << *bad;
}

}  // namespace
}  // namespace pentrax
