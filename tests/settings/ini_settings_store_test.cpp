// The INI file store on a real file system, in a temporary folder.
#include "ini_settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace pentrax::settings {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class IniStoreTest : public ::testing::Test {
 protected:
  fs::path dir;
  std::vector<std::string> said;
  // QSettings keeps what it read of a file: each store gets a file of its
  // own.
  int files = 0;
  fs::path path;

  void SetUp() override {
    char name[] = "/tmp/pentrax-ini.XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir = name;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::unique_ptr<IniSettingsStore> Open(std::optional<std::string> bytes) {
    path = dir / ("pentrax2/pentrax2-" + std::to_string(++files) + ".ini");
    if (bytes) {
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << *bytes;
    }
    return std::make_unique<IniSettingsStore>(
        path.string(), [this](const std::string& s) { said.push_back(s); });
  }
};

TEST_F(IniStoreTest, ValuesAreTextUnderTheSettingsSection) {
  auto store = Open(
      "; a comment\n\n[Settings]\r\nBorder=\n"
      "TaskBar = 12 \nCustomWidth=1,2\n\n; more\n");
  EXPECT_EQ(store->Read("Border", "3"), "");  // present but empty
  EXPECT_EQ(store->Read("TaskBar", "28"), "12");
  EXPECT_EQ(store->Read("CustomWidth", "0"), "0");  // a list: not one of ours
  EXPECT_EQ(store->Read("AddBorder", "1"), "1");    // absent
  store->Write("PosLeft", "-1500");
  store->Write("CustomHeight", "\xC3\xA9 x");
  store->Write("TaskBar", "@12");  // a pasted text, not a typed value
  EXPECT_TRUE(store->Flush());
  EXPECT_TRUE(said.empty());
  const std::string written = ReadFile(path);
  EXPECT_EQ(written.rfind("[Settings]\n", 0), 0u) << written;
  EXPECT_NE(written.find("PosLeft=-1500\n"), std::string::npos) << written;

  IniSettingsStore again(path.string(), {});
  EXPECT_EQ(again.Read("CustomHeight", ""), "\xC3\xA9 x");
  EXPECT_EQ(again.Read("PosLeft", ""), "-1500");
  EXPECT_EQ(again.Read("TaskBar", ""), "@12");
}

TEST_F(IniStoreTest, AFileThatIsNotSettingsIsKeptAsCorruptAndANewOneWritten) {
  const std::string contents[] = {
      std::string("[Settings]\nBorder=4\n\0\n", 22),
      "\x01\x02\xff\xfe binary",
      "[Settings]\nBorder 4\n",
      "Some notes about my screen.\n",
      "[Settings]\nBorder=4\n[Broken\n",
      "[Settings]\n=4\n",
      "# A comment of another kind\n[Settings]\n",
      "[Settings]\nPosLeft=@Variant(\\0\\0\\0\\tDDDD)\n",
  };
  for (const std::string& bytes : contents) {
    said.clear();
    auto store = Open(bytes);
    const std::string corrupt = path.string() + ".corrupt";
    EXPECT_EQ(ReadFile(corrupt), bytes);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(store->Read("Border", "3"), "3");
    store->Write("Border", "5");
    EXPECT_TRUE(store->Flush());
    ASSERT_EQ(said.size(), 2u) << bytes;
    EXPECT_EQ(said[0].rfind(path.string() + " is not a settings file (", 0), 0u)
        << said[0];
    EXPECT_NE(said[0].find("): moved it to " + corrupt +
                           " and started from the defaults"),
              std::string::npos)
        << said[0];
    EXPECT_EQ(said[1], "wrote new settings to " + path.string());
    EXPECT_EQ(WhyNotSettings(ReadFile(path)), "");
  }
}

TEST_F(IniStoreTest, AFolderThatCannotBeWrittenSaysSoOnce) {
  std::ofstream(dir / "blocked");  // a file where the folder should be
  IniSettingsStore store((dir / "blocked/pentrax2/pentrax2.ini").string(),
                         [this](const std::string& s) { said.push_back(s); });
  EXPECT_EQ(store.Read("Border", "3"), "3");
  store.Write("Border", "4");
  EXPECT_FALSE(store.Flush());
  EXPECT_FALSE(store.Flush());
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], "could not write " + (dir / "blocked").string() +
                         "/pentrax2/pentrax2.ini: the settings were not saved");
}

// Changes the environment for good: no other case of this program reads it.
TEST(UserFilePath, FollowsTheXdgRulesAndTheHomeFolder) {
  struct Row {
    const char* xdg;  // nullptr: unset
    const char* home;
    std::string expected;
  };
  const std::string fromPasswd = [] {
    unsetenv("HOME");
    return IniSettingsStore::UserFilePath("p");
  }();
  const Row rows[] = {
      {"/x/config", "/h", "/x/config/p/p.ini"},
      {"relative/config", "/h", "/h/.config/p/p.ini"},
      {"", "/h", "/h/.config/p/p.ini"},
      {nullptr, "/h", "/h/.config/p/p.ini"},
      {nullptr, "", fromPasswd},
  };
  EXPECT_EQ(fromPasswd.rfind("/", 0), 0u);
  EXPECT_NE(fromPasswd, "/.config/p/p.ini");
  for (const Row& row : rows) {
    row.xdg ? setenv("XDG_CONFIG_HOME", row.xdg, 1)
            : unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", row.home, 1);
    EXPECT_EQ(IniSettingsStore::UserFilePath("p"), row.expected)
        << (row.xdg ? row.xdg : "unset");
  }
}

}  // namespace
}  // namespace pentrax::settings
