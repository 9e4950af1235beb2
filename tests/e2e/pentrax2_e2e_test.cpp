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
