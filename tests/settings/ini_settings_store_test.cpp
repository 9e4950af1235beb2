#include "ini_settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

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
  int files = 0;  // QSettings keeps what it read: a file for each store
  fs::path path;

  void SetUp() override {
    char name[] = "/tmp/pentrax-ini.XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir = name;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::unique_ptr<IniSettingsStore> Open(const std::string& bytes) {
    path = dir / ("pentrax2/pentrax2-" + std::to_string(++files) + ".ini");
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return std::make_unique<IniSettingsStore>(
        path.string(), [this](const std::string& s) { said.push_back(s); });
  }
};

// Read back by the store and the commands' own reader (unsure: the default).
TEST_F(IniStoreTest, ValuesAreTextUnderTheSettingsSection) {
  const std::string edited =
      "; a comment\n\n[Settings]\r\nBorder=\n"
      "TaskBar = 12 \nCustomWidth=1,2\n\n; more\n";
  // Key, value in the file (d: default), value written, read back.
  const std::array<std::string, 4> rows[] = {
      {"Border", "", "-1500", "-1500"},                // present but empty
      {"TaskBar", "12", "@12", "@12"},                 // pasted, not typed
      {"CustomWidth", "d", " 1,5 ", " 1,5 "},          // a list: not ours
      {"AddBorder", "d", "\xC3\xA9 x", "\xC3\xA9 x"},  // absent
      {"PosLeft", "d", "\"1\"", "d"}};                 // escaped
  auto store = Open(edited);
  IniFileReader reader(edited);
  for (const auto& [key, read, value, readBack] : rows) {
    EXPECT_EQ(store->Read(key, "d") + "|" + reader.Read(key, "d"),
              read + "|" + read);
    store->Write(key, value);
  }
  EXPECT_TRUE(store->Flush());
  EXPECT_TRUE(said.empty());
  IniSettingsStore again(path.string(), {});
  IniFileReader back(path.string(), {});
  for (const auto& [key, read, value, readBack] : rows) {
    EXPECT_EQ(again.Read(key, "") + "|" + back.Read(key, "d"),
              value + "|" + readBack);
  }
}

TEST_F(IniStoreTest, AFileThatIsNotSettingsIsKeptAsCorruptAndANewOneWritten) {
  const std::string contents[] = {
      std::string("[Settings]\nBorder=4\n\0\n", 22),
      "\x01\x02\xff\xfe binary",
      "[Settings]\nBorder 4\n",
      "Some notes about my screen.\n",
      "[Settings]\nBorder=4\n[Broken\n",
      "[Settings]\n=4\n",
      "[Settings]\nPosLeft=@Variant(\\0\\0\\0\\tDDDD)\n",
  };
  for (const std::string& bytes : contents) {
    said.clear();
    EXPECT_EQ(IniFileReader(bytes).Read("Border", "3"), "3") << bytes;
    auto store = Open(bytes);
    const std::string corrupt = path.string() + ".corrupt";
    EXPECT_EQ(ReadFile(corrupt), bytes);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(store->Read("Border", "3"), "3");
    store->Write("Border", "5");
    EXPECT_TRUE(store->Flush());
    ASSERT_EQ(said.size(), 2u) << bytes;
    EXPECT_TRUE(
        said[0].starts_with(path.string() + " is not a settings file (") &&
        said[0].ends_with("): moved it to " + corrupt +
                          " and started from the defaults"))
        << said[0];
    EXPECT_EQ(said[1], "wrote new settings to " + path.string());
  }
  // Nor does either wait for what is not a file: the store sets it aside.
  const std::string fifo = (dir / "fifo.ini").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  IniFileReader(fifo, [&](auto s) { said = {s}; });
  EXPECT_NE(said[0].find(" was not read (not a regular file)"),
            std::string::npos);
  IniSettingsStore(fifo, {});
  EXPECT_TRUE(fs::is_fifo(fifo + ".corrupt"));
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
  unsetenv("HOME");
  const std::string fromPasswd = UserFilePath("p");
  EXPECT_TRUE(fromPasswd.starts_with("/") && fromPasswd != "/.config/p/p.ini");
  // XDG_CONFIG_HOME (nullptr: unset), HOME, the path.
  const std::tuple<const char*, const char*, std::string> rows[] = {
      {"relative/config", "/h", "/h/.config/p/p.ini"},
      {nullptr, "/h", "/h/.config/p/p.ini"},
      {nullptr, "", fromPasswd},
  };
  for (const auto& [xdg, home, expected] : rows) {
    xdg ? setenv("XDG_CONFIG_HOME", xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home, 1);
    EXPECT_EQ(UserFilePath("p"), expected) << (xdg ? xdg : "unset");
  }
}

}  // namespace
}  // namespace pentrax::settings
