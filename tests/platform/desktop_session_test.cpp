// (The test sessions' own environments: the end-to-end test on each.)
#include "desktop_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>

namespace pentrax {
namespace {

using Env = std::map<std::string, std::string>;

std::function<const char*(const char*)> From(const Env& env) {
  return [&env](const char* name) -> const char* {
    const auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
}

TEST(ReadDesktopSession, TheDesktopAndWhetherItIsWayland) {
  const Desktop kOther = Desktop::kOther, kKde = Desktop::kKde;
  // clang-format off
  const std::pair<Env, DesktopSession> rows[] = {
      {{{"SWAYSOCK", ""}, {"XDG_SESSION_TYPE", "wayland"}}, {kOther, true}},
      {{{"XDG_CURRENT_DESKTOP", "X:KDE"}, {"XDG_SESSION_TYPE", "x11"}}, {kKde, false}},
      {{{"XDG_CURRENT_DESKTOP", "KDEX"}, {"WAYLAND_DISPLAY", "w"}}, {kOther, true}},
      {{{"KDE_FULL_SESSION", "true"}, {"XDG_SESSION_TYPE", "wayland"}}, {kKde, true}},
      {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}, {"WAYLAND_DISPLAY", "w"}}, {Desktop::kGnome, true}},
      {{{"XDG_CURRENT_DESKTOP", "GNOME-Flashback:GNOME-X"}}, {kOther, false}},
  };
  // clang-format on
  for (const auto& [env, session] : rows) {
    EXPECT_EQ(ReadDesktopSession(From(env)), session)
        << (env.empty() ? "" : env.begin()->second);
  }
}

// Two desktops of one session (an X server beside another, a nested sway)
// get keys of their own; two ways of naming one X display, one key.
TEST(DisplayKey, TellsDesktopsApart) {
  const Env bus = {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/bus"},
                   {"WAYLAND_DISPLAY", "wayland-0"}};
  // clang-format off
  const std::tuple<const char*, Env, std::string> rows[] = {
      {"x11", {{"DISPLAY", ":0.1"}}, "x11 :0"},
      {"x11", {{"DISPLAY", "unix:0.0"}}, "x11 :0"},
      {"x11", {{"DISPLAY", "host.example:10.0"}}, "x11 host.example:10"},
      {"sway", {{"SWAYSOCK", "/run/sway-2.sock"}, {"DISPLAY", ":0"}}, "sway /run/sway-2.sock"},
      {"kwin", bus, "kwin unix:path=/run/bus wayland-0"},
  };
  // clang-format on
  for (const auto& [backend, env, key] : rows) {
    EXPECT_EQ(DisplayKey(backend, From(env)), key);
  }
}

}  // namespace
}  // namespace pentrax
