#include "commands.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "fake_window_manager.h"

namespace pentrax::cli {
namespace {

using nlohmann::json;

// The editor in front, a dock, Pentrax's window, one past the top-left corner
// and a maximised one; "!" parts change it: "front N", "silent", "noarea",
// "refuses"/"accepts" (the editor's placing), "vanishes N" (after N reads),
// "stalls" (KWin), "stranger" (the editor's number), "picks N..." (-1: signal).
struct Desk {
  testing::FakeWindowManager wm;
  MemoryLedgerStore placements;
  std::vector<WindowHandle> fronts;
  Desk() {
    wm.Add(7, {100, 50, 740, 530}, "Editor").identity = "1";
    wm.Add(8, {0, 994, 1280, 1024}, "Dock").listed = false;
    wm.Add(9, {300, 300, 653, 685}, "Pentrax 2");
    wm.Add(11, {-50, -20, 150, 80}, "Left");
    wm.Add(12, {30, 40, 230, 240}, "B", kShowMaximized);
    wm.ownWindows = {9};
    wm.foreground = 7;
  }
  void Change(std::istringstream& in) {
    std::string what;
    in >> what;
    testing::FakeWindow& editor = wm.windows[7];
    wm.notAnswering = what == "silent"   ? "sway"
                      : what == "stalls" ? "KWin"
                                         : "";
    wm.workAreaKnown = what != "noarea";
    editor.failWrites =
        what == "refuses" || (editor.failWrites && what != "accepts");
    editor.readsBeforeGone = what == "stalls" ? 1 : -1;
    if (what == "front") in >> wm.foreground;
    if (what == "vanishes") in >> editor.readsBeforeGone;
    if (what == "stranger") wm.Add(7, {0, 0, 400, 400}, "xterm").identity = "2";
    for (WindowHandle w; what == "picks" && in >> w;) fronts.push_back(w);
  }
};

// The line's commands (";" between them) run; the last one's answer.
std::tuple<int, std::string, std::string> RunLine(const std::string& line) {
  Desk d;
  std::string out, err;
  Environment env{
      d.wm,
      d.placements,
      [](std::int32_t, std::int32_t) {  // saved by hand
        return SizeChoices{7, {"800.7", "600", "3", "28"}, 0, 1};
      },
      [&](std::string_view s) { out += s; },
      [&](std::string_view s) { err += s; },
      [&](int ms) {
        if (d.fronts.empty()) {
          std::this_thread::sleep_for(std::chrono::milliseconds(ms));
          return true;
        }
        d.wm.foreground = d.fronts.front();
        d.fronts.erase(d.fronts.begin());
        return d.wm.foreground >= 0;
      }};
  int status = 0;
  std::istringstream commands(line);
  for (std::string command; std::getline(commands, command, ';');) {
    std::istringstream in(command);
    if (command.find('!') != std::string::npos) {
      in.ignore(command.size(), '!');
      d.Change(in);
      continue;
    }
    out.clear(), err.clear();
    const Parsed p = Parse({std::istream_iterator<std::string>(in), {}});
    status = p.options ? Run(*p.options, env) : kUsage;
    if (!p.options) {
      out = p.json ? FailureAnswer(nullptr, p.error) : "";
      err = p.error + "\n";
    }
  }
  return {status, out, err};
}

TEST(Commands, WhatEachCommandSaysAndItsStatus) {
  // The command line, the status, standard error (after a status of 2: how
  // it begins) and standard output (with --json: members it holds).
  const std::string notActed =
      "The window in front is not one Pentrax acts on (see list)";
  // clang-format off
  const std::tuple<std::string, int, std::string, std::string> rows[] = {
      {"size 800X600 --border 3 --taskbar 28", 0, "", "Editor\nresized to 806 x 578\n"},
      {"size --content --window=0x1e00004", 3, "There is no window 31457284: nothing was sized\n", ""},
      {"frob", 2, "unknown command 'frob'", ""},
      {"size --border", 2, "option '--border' needs a value", ""},
      {"size --json=yes", 2, "option '--json' takes no value", R"({"command":null})"},
      {"size 99999999999x5", 2, "'99999999999x5' is not a size", ""},
      {"size 800x600 10x10", 2, "unexpected argument '10x10'", ""},
      {"size --border -3", 2, "--border: '-3' is not a number of pixels", ""},
      {"size --window 0", 2, "--window: '0' is not a window: active, pick", ""},
      {"restore --border 3", 2, "option '--border' does not go with rest", ""},
      // Asked, asked of the desktop, taken: beyond the screen is inexact, the
      // border goes beyond; a saved 800.7 is 800.
      {"size 2000x2000 --json", 1, "", R"({"asked":{"width":2000,"height":2000}, "target":{"width":1280,"height":1024}, "took":{"width":1280,"height":1024}})"},
      {"size 800x600 --border 300 --json", 0, "", R"({"asked":{"width":1400,"height":1200}, "rect":{"x":0,"y":0,"width":1400,"height":1200}})"},
      {"size --no-border --no-taskbar --json", 0, "", R"({"asked":{"width":800,"height":600},"exact":true})"},
      // Only the windows that list lists, named or in front.
      {"!front 8; restore --json", 3, notActed + ": nothing was restored\n", R"({"window":8,"title":"Dock","error":")" + notActed + "\"}"},
      {"!silent; list --json", 3, "sway did not answer: nothing was listed\n", R"({"error":"sway did not answer","windows":[]})"},
      {"list", 0, "", "7 640x480+100+50 normal Editor\n11 200x100-50-20 normal Left\n12 200x200+30+40 maximized B\n"},
      {"!noarea; size 800x600 --window 11 --json", 0, "", R"({"rect":{"x":-50,"y":-20,"width":800,"height":600}})"},  // where it stands
      {"size 800x600 --window 11; query --window 11 --json", 0, "", R"({"remembered":true,"rect":{"x":0,"y":0,"width":800,"height":600}})"},
      // A restore returns to the placement before the last sizing, once.
      {"size 300x200; size 500x400; restore; restore", 3, "", "Editor\noriginal size has already been restored\n"},
      {"size 300x200; size 500x400; restore; size 640x480; restore --json", 0, "", R"({"rect":{"x":100,"y":50,"width":300,"height":200}})"},
      {"size 800x600 --window 12; size 300x200; restore --window 12 --json", 0, "", R"({"state":"maximized","rect":{"x":30,"y":40,"width":200,"height":200}})"},
      // What cannot be done is said; what was remembered stays, for that
      // window only; a refused first sizing leaves nothing to restore.
      {"size 300x200; !refuses; size 800x600", 3, "", "Editor\ncould not be sized\n"},
      {"size 300x200; !refuses; size 800x600; restore; !accepts; restore --json", 0, "", R"({"rect":{"x":100,"y":50,"width":640,"height":480}})"},
      {"!stalls; size 800x600", 3, "", "KWin did not answer: nothing was sized. Try again.\n"},
      {"size 300x200; !stranger; restore", 3, "", "xterm\nis unknown and cannot be sized back\n"},
      {"size 300x200; !stranger; size 800x600; restore --json", 0, "", R"({"title":"xterm","rect":{"x":0,"y":0,"width":400,"height":400}})"},
      {"!refuses; size 800x600; restore", 3, "", "Editor\nis unknown and cannot be sized back\n"},
      {"!vanishes 2; size 800x600 --json", 1, "", R"({"took":null,"report":"Editor\nwas resized, but its new size could not be read"})"},
      {"!vanishes 1; size 800x600 --json", 3, "", R"({"window":7,"error":"The window you picked is gone: nothing was sized"})"},
      // A pick passes over Pentrax's window and the dock.
      {"!picks 9 8 11; size 800x600 --window pick", 0, "Activate the window to act on (within 10 s).\n", "Left\nresized to 800 x 600\n"},
      {"size --window pick --timeout 1", 3, "Activate the window to act on (within 1 s).\nNo window was activated within 1 s: nothing was sized\n", ""},
      {"!picks -1; --json restore --window pick --timeout 3", 3, "Activate the window to act on (within 3 s).\nInterrupted: nothing was restored\n", R"({"error":"Interrupted","window":null})"},
  };
  // clang-format on
  std::map<std::string, std::set<std::string>> keys;  // of each command
  for (const auto& [line, status, err, out] : rows) {
    SCOPED_TRACE(line);
    const auto [gotStatus, gotOut, gotErr] = RunLine(line);
    EXPECT_EQ(gotStatus, status);
    EXPECT_TRUE(status == kUsage ? gotErr.starts_with(err) &&
                                       gotErr.ends_with("; see --help\n")
                                 : gotErr == err)
        << gotErr;
    if (line.find("--json") == std::string::npos) {
      EXPECT_EQ(gotOut, out);
      continue;
    }
    // One object, with the same members whatever the outcome.
    const json j = json::parse(gotOut), expected = json::parse(out);
    const char* outcomes[] = {"done", "inexact", "usage", "nothing"};
    EXPECT_EQ(j["outcome"], outcomes[status]);
    if (status != kUsage) {
      std::set<std::string> k;
      for (const auto& [key, value] : j.items()) k.insert(key);
      EXPECT_EQ(keys.emplace(j["command"], k).first->second, k) << gotOut;
    }
    for (const auto& [key, value] : expected.items()) {
      EXPECT_EQ(j[key], value) << key << " in " << gotOut;
    }
  }
}

}  // namespace
}  // namespace pentrax::cli
