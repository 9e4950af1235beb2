// Which desktop the environment tells: the one reading, for every session
// Pentrax knows.
#include "desktop_session.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace pentrax {
namespace {

TEST(ReadDesktopSession, TheDesktopAndWhetherItIsWayland) {
  using Env = std::map<std::string, std::string>;
  const std::pair<Env, DesktopSession> rows[] = {
      {{}, {Desktop::kOther, false}},
      {{{"SWAYSOCK", "/run/sway.sock"}, {"WAYLAND_DISPLAY", "wayland-1"}},
       {Desktop::kSway, true}},
      {{{"SWAYSOCK", ""}, {"XDG_SESSION_TYPE", "wayland"}},
       {Desktop::kOther, true}},
      {{{"XDG_CURRENT_DESKTOP", "KDE"}, {"WAYLAND_DISPLAY", "w"}},
       {Desktop::kKde, true}},
      {{{"XDG_CURRENT_DESKTOP", "X:KDE"}, {"XDG_SESSION_TYPE", "x11"}},
       {Desktop::kKde, false}},
      {{{"XDG_CURRENT_DESKTOP", "KDEX"}, {"WAYLAND_DISPLAY", "w"}},
       {Desktop::kOther, true}},
      {{{"XDG_SESSION_DESKTOP", "KDE"}}, {Desktop::kKde, false}},
      {{{"KDE_FULL_SESSION", "true"}, {"XDG_SESSION_TYPE", "wayland"}},
       {Desktop::kKde, true}},
      {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}, {"WAYLAND_DISPLAY", "w"}},
       {Desktop::kGnome, true}},
      {{{"XDG_CURRENT_DESKTOP", "GNOME-Flashback:GNOME-X"}},
       {Desktop::kOther, false}},
  };
  for (const auto& [env, session] : rows) {
    const auto lookup = [&env](const char* name) -> const char* {
      const auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(ReadDesktopSession(lookup), session)
        << (env.empty() ? "" : env.begin()->second);
  }
}

}  // namespace
}  // namespace pentrax
