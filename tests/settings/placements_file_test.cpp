// The session's shared placements, in a temporary folder: what one Pentrax
// process remembers, another finds; at the same time, none is lost; a file
// that is not Pentrax's is set aside; one that cannot be read is said.
#include "placements_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace pentrax::settings {
namespace {

namespace fs = std::filesystem;

class PlacementsTest : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() /
                 ("pentrax-placements-" + std::to_string(getpid()));
  std::string path = (dir / "pentrax2" / "placements.json").string();
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }

  static void Remember(LedgerStore& store, WindowHandle w, Rect r,
                       const char* identity = "pid 1") {
    WindowPlacement p;
    p.showCmd = kShowMaximized;
    p.rcNormalPosition = r;
    store.Use(
        [&](ResizedWindowLedger& l) { l.RememberWindow(p, w, identity); });
  }
  static std::optional<ResizedWindowRecord> Find(LedgerStore& store,
                                                 WindowHandle w) {
    std::optional<ResizedWindowRecord> e;
    store.Use([&](ResizedWindowLedger& l) { e = l.Entry(w); });
    return e;
  }
};

// Four processes remember 25 windows each at the same time; another finds
// them all, as they were remembered, for its own backend alone.
TEST_F(PlacementsTest, WhatProcessesRememberAtTheSameTimeAnotherFinds) {
  std::vector<pid_t> children;
  for (int c = 0; c < 4; ++c) {
    if (const pid_t pid = fork(); pid == 0) {
      PlacementsFile store(path, "x11");
      for (int i = 0; i < 25; ++i) {
        Remember(store, c * 100 + i + 1, {i, i + 1, i + 10, i + 20},
                 "pid 1, class \"\xC3\xA9\\n");
      }
      _exit(0);
    } else {
      children.push_back(pid);
    }
  }
  for (const pid_t pid : children) {
    waitpid(pid, nullptr, 0);
  }
  PlacementsFile store(path, "x11"), sway(path, "sway");
  std::size_t entries = 0;
  store.Use([&](ResizedWindowLedger& l) { entries = l.entries().size(); });
  EXPECT_EQ(entries, 100u);
  const auto e = Find(store, 307);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->showState, kShowMaximized);
  EXPECT_EQ((Rect{e->left, e->top, e->right, e->bottom}), (Rect{6, 7, 16, 26}));
  EXPECT_EQ(e->identity, "pid 1, class \"\xC3\xA9\\n");
  EXPECT_FALSE(Find(sway, 307));  // another backend's handles
}

TEST_F(PlacementsTest, AFileNotPentraxsIsSetAsideAndOneUnwritableIsSaid) {
  for (const char* text :
       {"{\"x11\": 5}", "not json", "[1, 2]",
        "{\"pentrax\": 1, \"x11\": [[1, 2]]}", "{\"pentrax\": \"1\"}"}) {
    fs::create_directories(dir / "pentrax2");
    std::ofstream(path) << text;
    PlacementsFile store(path, "x11");
    std::string note;
    note = store.Use(
        [](ResizedWindowLedger& l) { EXPECT_TRUE(l.entries().empty()); });
    EXPECT_NE(note.find("set aside"), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(path + ".damaged")) << text;
    Remember(store, 3, {0, 0, 5, 5});
    EXPECT_TRUE(Find(store, 3)) << text;
    fs::remove(path);
  }
  // A folder where the file should be: said, and remembered in the process.
  fs::create_directories(path);
  PlacementsFile store(path, "x11");
  EXPECT_NE(store.Use([](ResizedWindowLedger&) {}).find("cannot read"),
            std::string::npos);
  Remember(store, 4, {0, 0, 5, 5});
  EXPECT_TRUE(Find(store, 4));
}

}  // namespace
}  // namespace pentrax::settings
