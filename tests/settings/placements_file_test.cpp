#include "placements_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace pentrax::settings {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PlacementsTest : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() /
                 ("pentrax-placements-" + std::to_string(getpid()));
  fs::path own = dir / "pentrax2";
  std::string path = (own / "placements.json").string();
  void SetUp() override {
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(dir); }

  // A lock held past 0.2 s is given up (the held lock's case ends quickly).
  PlacementsFile Store(std::string display = "x11 :0",
                       std::vector<WindowHandle> alive = {},
                       std::chrono::milliseconds deadline = 200ms) {
    return PlacementsFile(
        dir, std::move(display), [alive] { return alive; }, deadline);
  }
  // An identity that JSON escapes.
  static std::string Remember(LedgerStore& store, WindowHandle w,
                              const char* detail = "") {
    WindowPlacement p;
    p.showCmd = kShowTiled;
    p.rcNormalPosition = {w, w + 1, w + 10, w + 20};
    return store.Use([&](ResizedWindowLedger& l) {
      l.RememberWindow(p, w, "pid 1, class \"\xC3\xA9\\n");
      l.SetDetail(w, detail);
    });
  }
  static ResizedWindowLedger Read(LedgerStore& store) {
    ResizedWindowLedger copy;
    store.Use([&](ResizedWindowLedger& l) { copy = l; });
    return copy;
  }
};

// Four processes remember 25 windows each at once (waiting for the lock as
// Pentrax does: a busy machine is slow); another finds them all.
TEST_F(PlacementsTest, WhatProcessesRememberAtTheSameTimeAnotherFinds) {
  for (int c = 0; c < 4; ++c) {
    if (fork() == 0) {
      PlacementsFile store = Store("x11 :0", {}, PlacementsFile::kLockDeadline);
      for (int i = 1; i <= 25; ++i) Remember(store, c * 100 + i, "t Left");
      _exit(0);
    }
  }
  while (wait(nullptr) > 0) continue;
  PlacementsFile store = Store();
  EXPECT_EQ(Read(store).entries().size(), 100u);
  EXPECT_EQ(Read(store).Entry(307),
            (ResizedWindowRecord{307, kShowTiled, 307, 308, 317, 327,
                                 "pid 1, class \"\xC3\xA9\\n", "t Left"}));
}

// What is not a placements file of this Pentrax is set aside, once, and a
// new file begun; a link's target stays as it was.
TEST_F(PlacementsTest, WhatIsNotAPlacementsFileIsSetAside) {
  const std::string elsewhere = (dir / "elsewhere").string();
  const auto record = [](const std::string& fields) {
    return R"({"pentrax": 2, "records": [["x11 :0", )" + fields + "]]}";
  };
  const auto text = [&](const std::string& t) {
    return [&, t] { std::ofstream(path) << t; };
  };
  // clang-format off
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"not JSON", text("not json")},
      {"another version", text(R"({"pentrax": 1, "x11": []})")},
      {"a version not a number", text(R"({"pentrax": [2], "records": []})")},
      {"a short record", text(record(R"(1, 1, 0, 0, 5)"))},
      {"a show state of none", text(record(R"(1, 7, 0, 0, 5, 5, "", "")"))},
      {"left of right", text(record(R"(1, 1, 5, 0, 5, 5, "", "")"))},
      {"at the 32-bit ends", text(record(R"(1, 3, -2147483648, -2147483648, 2147483647, 2147483647, "", "")"))},
      {"beyond 32 bits", text(record(R"(1, 3, 0, 0, 4294967296, 5, "", "")"))},
      {"no window", text(record(R"(0, 1, 0, 0, 5, 5, "", "")"))},
      {"a detail with a line break", text(record(R"(1, 1, 0, 0, 5, 5, "", "a\nb")"))},
      {"too large", text(std::string(PlacementsFile::kLargestFile + 1, ' '))},
      {"a FIFO", [&] { mkfifo(path.c_str(), 0600); }},
      {"a link, and one where a new file might be made", [&] {
         std::ofstream(elsewhere) << record(R"(1, 1, 0, 0, 5, 5, "", "")");
         fs::create_symlink(elsewhere, path);
         fs::create_symlink(elsewhere, path + ".new");
       }},
  };
  // clang-format on
  for (const auto& [what, put] : rows) {
    SCOPED_TRACE(what);
    fs::remove_all(own);
    fs::create_directory(own, dir);
    put();
    PlacementsFile store = Store();
    EXPECT_EQ(Read(store).entries().size(), 0u);
    EXPECT_NE(Remember(store, 3).find("set aside"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::symlink_status(path + ".damaged")));
    EXPECT_EQ(Remember(store, 4), "");
    EXPECT_TRUE(Read(store).Entry(3) && Read(store).Entry(4));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
  }
  std::ifstream in(elsewhere);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            record(R"(1, 1, 0, 0, 5, 5, "", "")"));
}

// Where the file cannot be used safely, or at all, each action says the
// failed call's reason and the process remembers; nothing goes through a link.
TEST_F(PlacementsTest, WhereTheFileCannotBeUsedTheProcessRemembers) {
  const fs::path elsewhere = dir / "elsewhere";
  int held = -1;
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, SIG_IGN);
  const auto folder = [&](mode_t mode) {
    fs::create_directory(own);
    chmod(own.c_str(), mode);
  };
  const std::string lock = own.string() + "/placements.lock";
  // clang-format off
  const std::pair<std::function<void()>, std::string> rows[] = {
      {[&] { chmod(dir.c_str(), 0750); }, dir.string() + " is open to others (mode 0750, not 0700)"},
      {[&] { ASSERT_EQ(chown(dir.c_str(), 65534, 65534), 0); }, dir.string() + " belongs to uid 65534, not to this user (uid " + std::to_string(geteuid()) + ")"},
      {[&] { fs::remove_all(dir); }, "cannot open " + dir.string() + ": No such file or directory"},
      {[&] { fs::create_directory(elsewhere), fs::create_directory_symlink(elsewhere, own); }, "cannot open " + own.string() + ": it is a symbolic link"},
      {[&] { folder(0705); }, own.string() + " is open to others (mode 0705, not 0700)"},
      {[&] { folder(0700), fs::create_symlink(elsewhere, lock); }, "cannot open " + lock + ": it is a symbolic link"},
      {[&] { const rlimit small{16, limit.rlim_max}; setrlimit(RLIMIT_FSIZE, &small); }, "cannot write " + path + ": File too large"},
      {[&] { folder(0700), flock(held = open(lock.c_str(), O_RDWR | O_CREAT, 0600), LOCK_EX); }, "another Pentrax process has held " + lock + " for 0.2 s"},
  };
  // clang-format on
  for (const auto& [put, why] : rows) {
    SCOPED_TRACE(why);
    put();
    PlacementsFile store = Store();
    EXPECT_EQ(Remember(store, 3),
              why + "; placements are remembered by this process only");
    EXPECT_TRUE(Read(store).Entry(3));
    EXPECT_FALSE(fs::exists(elsewhere / "placements.json") ||
                 fs::is_regular_file(elsewhere));
    setrlimit(RLIMIT_FSIZE, &limit);
    close(std::exchange(held, -1));
    fs::create_directories(dir);
    ASSERT_EQ(chown(dir.c_str(), getuid(), getgid()), 0);
    chmod(dir.c_str(), 0700);
    fs::remove_all(elsewhere);
    fs::remove_all(own);
    EXPECT_EQ(Remember(store, 4), "");  // what the process kept stored too
    PlacementsFile another = Store();
    EXPECT_EQ(Read(another).entries().size(), 2u);
    fs::remove_all(own);
  }
  unsetenv("XDG_RUNTIME_DIR");
  std::string error;
  EXPECT_EQ(PlacementsFile::SessionFolder(&error), "");
  EXPECT_EQ(error.find("XDG_RUNTIME_DIR is not set"), 0u);
}

// The lock is held only to store a change, never while the action acts: a
// reading then takes none (a lock held past the deadline would be said).
TEST_F(PlacementsTest, TheLockIsHeldOnlyToStoreAChange) {
  PlacementsFile store = Store();
  Remember(store, 3);
  const int other = open((own / "placements.lock").c_str(), O_RDWR);
  const auto acts = [&](ResizedWindowLedger&) {
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  };
  EXPECT_EQ(store.Use(acts), "");
  close(other);
  // A reading (list, query) writes nothing, not even the folder.
  fs::remove_all(own);
  PlacementsFile reader = Store();
  EXPECT_TRUE(Read(reader).entries().empty());
  EXPECT_FALSE(fs::exists(own));
}

// The file keeps the latest records, none of a window gone from the desktop
// that stores (another desktop's stay); here a full file, sway's the oldest.
TEST_F(PlacementsTest, TheFileStaysBounded) {
  std::string text =
      R"({"pentrax": 2, "records": [["sway /run/s.sock", 1, 1, 0, 0, 5, 5, "pid 1", ""])";
  for (std::size_t i = 1; i < PlacementsFile::kMostRecords; ++i) {
    text += R"(, ["x11 :0", )" + std::to_string(i) +
            R"(, 1, 0, 0, 5, 5, "pid 1", ""])";
  }
  fs::create_directory(own);
  chmod(own.c_str(), 0700);
  std::ofstream(path) << text << "]}";
  PlacementsFile store = Store(), sway = Store("sway /run/s.sock");
  EXPECT_TRUE(Read(sway).Entry(1));
  Remember(store, 5000);
  EXPECT_FALSE(Read(sway).Entry(1));
  EXPECT_EQ(Read(store).entries().size(), PlacementsFile::kMostRecords);
  Remember(sway, 1);
  PlacementsFile listing = Store("x11 :0", {7, 5000});
  Remember(listing, 9);  // acted on: kept
  EXPECT_EQ(Read(store).entries().size(), 3u);
  EXPECT_TRUE(Read(sway).Entry(1));
}

}  // namespace
}  // namespace pentrax::settings
