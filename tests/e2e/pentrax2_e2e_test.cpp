// The real pentrax2 on a real desktop (Xvfb, openbox, a 28-pixel dock),
// driven with xdotool as a user would drive it; the windows are measured with
// xwininfo and xprop, and the report is read through the clipboard.
#include <gtest/gtest.h>

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
