#include "cli_journeys.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "x_session.h"

namespace pentrax::testing {

void CommandLineJourneys(const JourneyDesktop& d, WindowHandle window) {
  const std::string id = std::to_string(window);
  const std::optional<Rect> before = d.outer();
  ASSERT_TRUE(before);
  const auto sized800x600 = [&] {
    const auto o = d.outer();
    return o && o->width() == 800 && o->height() == 600;
  };
  const auto back = [&] { return d.outer() == before; };
  const auto content = [&] { return d.content() == Size{640, 480}; };
  // The command (@: the window's number), its status, what the desktop
  // shows then, and whether it answers in JSON.
  const std::tuple<std::string, int, std::function<bool()>, bool> rows[] = {
      {"size 640x480 --content --window @ --json", 0, content, true},
      {"restore --window @", 0, back, false},
      {"size 800x600", 0, sized800x600, false},  // the window in front
      {"restore --window @ --json", 0, back, true},
      {"query --window 2147483000 --json", 3, back, true},
      {"list --json", 0, [] { return true; }, true},
  };
  // None of them writes settings (nor makes their folder).
  char config[] = "/tmp/pentrax-journeys.XXXXXX";
  const std::string env = "XDG_CONFIG_HOME=" + std::string(mkdtemp(config));
  for (const auto& [command, status, shown, json] : rows) {
    SCOPED_TRACE(command);
    const std::string run = std::regex_replace(command, std::regex("@"), id);
    d.activate();
    const std::string out =
        Run(env + " " + d.pentrax2 + " " + run +
            (json ? " 2>/dev/null" : " 2>&1") + "; echo status=$?")
            .value_or("");
    EXPECT_TRUE(out.ends_with("status=" + std::to_string(status) + "\n"))
        << out;
    EXPECT_TRUE(Eventually(shown, 5000)) << out;
    if (json) {
      const auto j = nlohmann::json::parse(out.substr(0, out.find('\n')));
      EXPECT_EQ(j.value("outcome", ""), status == 0 ? "done" : "nothing")
          << out;
      EXPECT_TRUE(!j.contains("windows") || out.find(id) != std::string::npos)
          << out;
    }
  }
  EXPECT_EQ(rmdir(config), 0) << config << " is not empty";
  // No Qt on X11 and sway; Qt Core and Qt D-Bus alone on KWin and GNOME.
  const bool bus = getenv("WAYLAND_DISPLAY") && !getenv("SWAYSOCK");
  EXPECT_EQ(Run("LD_DEBUG=files " + d.pentrax2 +
                " list 2>&1 >/dev/null | sed -n"
                " 's/.*file=libQt6\\([A-Za-z]*\\).*/\\1/p' | sort -u | xargs"),
            bus ? "Core DBus\n" : "\n");
}

}  // namespace pentrax::testing
