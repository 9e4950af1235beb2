#include "commands.h"

#include <chrono>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "actions.h"
#include "numbers.h"

namespace pentrax::cli {
namespace {

using nlohmann::json;

// WIDTHxHEIGHT+LEFT+TOP, as X geometries are written.
std::string Geometry(const Rect& r) {
  const auto signed_ = [](std::int32_t v) {
    const auto magnitude = static_cast<double>(v);
    return (v < 0 ? "-" : "+") + NumberToText(v < 0 ? -magnitude : magnitude);
  };
  return NumberToText(r.width()) + "x" + NumberToText(r.height()) +
         signed_(r.left) + signed_(r.top);
}

json RectJson(const Rect& r) {
  return {{"x", r.left},
          {"y", r.top},
          {"width", r.width()},
          {"height", r.height()}};
}

json SizeJson(const Size& s) {
  return {{"width", s.width}, {"height", s.height}};
}

// A report with the result box's line breaks as a terminal's.
std::string WithTerminalBreaks(std::string report) {
  for (std::size_t at; (at = report.find("\r\n")) != std::string::npos;) {
    report.replace(at, 2, "\n");
  }
  return report;
}

constexpr std::string_view kCommandNames[] = {"", "size", "restore", "query",
                                              "list"};

// Every key of the command's answer, as it stands when nothing was done.
json Answer(const Options& o) {
  json j = {{"command", kCommandNames[static_cast<int>(o.command)]},
            {"outcome", "nothing"},
            {"error", nullptr}};
  if (o.command == Command::kList) {
    j["windows"] = json::array();
    return j;
  }
  j.update({{"window", nullptr},
            {"title", ""},
            {"rect", nullptr},
            {"state", nullptr}});
  if (o.command == Command::kSize) {
    j.update({{"report", ""},
              {"asked", nullptr},
              {"target", nullptr},
              {"took", nullptr},
              {"content", o.content},
              {"exact", false}});
  } else if (o.command == Command::kRestore) {
    j.update({{"report", ""}, {"restored", false}});
  } else {
    j.update({{"workArea", nullptr}, {"remembered", false}});
  }
  return j;
}

std::string Dump(const json& j) {
  return j.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

// "sway did not answer" when the desktop did not answer the latest call;
// empty when it did.
std::string DidNotAnswer(WindowManager& wm) {
  const std::string name = wm.NotAnswering();
  return name.empty() ? name : name + " did not answer";
}

// The window a command acts on, or why there is none.
struct Target {
  WindowHandle window = 0;  // the window named or in front, even if refused
  bool refused = false;
  std::string why;  // why there is no window to act on
};

// Why the command does not act on the window, where it was named (by its
// number, or as the window in front): in the backend's words where it has
// them ("is the task bar").
std::string Refused(WindowManager& wm, WindowHandle window, Refusal r,
                    const std::string& named) {
  switch (r) {
    case Refusal::kPentrax:
      return named + " is Pentrax's own";
    case Refusal::kNotListed: {
      const std::string why = wm.WhyNotListed(window);
      return named + " " +
             (why.empty() ? "is not one Pentrax acts on (see list)" : why);
    }
    default:
      return {};
  }
}

Target Resolve(const Options& o, Environment& env) {
  WindowManager& wm = env.wm;
  Target t;
  const auto silent = [&] {
    const std::string why = DidNotAnswer(wm);
    t.why = why.empty() ? t.why : why;
    return !why.empty();
  };
  if (o.window.kind != WindowChoice::Kind::kPick) {
    const bool byNumber = o.window.kind == WindowChoice::Kind::kId;
    t.window = byNumber ? o.window.id : wm.GetForegroundWindow();
    const Refusal r = CheckTarget(wm, t.window);
    if (r == Refusal::kGone && !silent()) {
      t.why = byNumber ? "There is no window " + NumberToText(t.window)
                       : "No window is in front";
    }
    t.refused = r != Refusal::kNone;
    if (r == Refusal::kPentrax || r == Refusal::kNotListed) {
      t.why = Refused(wm, t.window, r,
                      byNumber ? "Window " + NumberToText(t.window)
                               : "The window in front");
    }
    return t;
  }
  // As the window's button does: the next window the user activates that
  // Pentrax may act on, other than the one in front at the start.
  const WindowHandle start = wm.GetForegroundWindow();
  WindowHandle refused = start;
  wm.StartForegroundWatch();
  env.err("Activate the window to act on (within " +
          NumberToText(o.timeoutSeconds) + " s).\n");
  using Clock = std::chrono::steady_clock;
  const auto until =
      Clock::now() + std::chrono::duration<double>(o.timeoutSeconds);
  t.why =
      "No window was activated within " + NumberToText(o.timeoutSeconds) + " s";
  t.refused = true;
  while (Clock::now() < until) {
    if (!env.sleep(100)) {
      t.why = "Interrupted";
      break;
    }
    const WindowHandle front = wm.GetForegroundWindow();
    if (front > 0 && front != start && front != refused) {
      if (CheckTarget(wm, front) == Refusal::kNone) {
        t = {front, false, {}};
        break;
      }
      refused = front;
    }
  }
  wm.StopForegroundWatch();
  if (t.refused) {
    silent();
  }
  return t;
}

// Runs `use` on the shared placements; what the store had to say (a damaged
// file set aside, one that cannot be used) goes to standard error.
void UsePlacements(Environment& env,
                   const std::function<void(ResizedWindowLedger&)>& use) {
  if (const std::string said = env.placements.Use(use); !said.empty()) {
    env.err("pentrax2: " + said + "\n");
  }
}

// What an action did to the window: its report and title, where it ended
// and, when it did nothing, why (the report's last line).
void Acted(Environment& env, const Target& t, const ActionResult& r, json& j) {
  j["report"] = WithTerminalBreaks(r.report);
  j["title"] = r.title.empty() ? ReadCleanTitle(env.wm, t.window) : r.title;
  if (r.after) {
    j["rect"] = RectJson(r.after->rcNormalPosition);
    j["state"] = ShowStateName(r.after->showCmd);
  }
  if (r.outcome == Outcome::kNothing) {
    const std::size_t end = r.report.rfind('\n');
    j["error"] = r.report.substr(end == std::string::npos ? 0 : end + 1);
  }
}

int SizeCommand(const Options& o, Environment& env, const Target& t, json& j) {
  WindowManager& wm = env.wm;
  // A monitor that cannot be read limits nothing: the desktop does.
  Rect monitor{0, 0, INT32_MAX, INT32_MAX};
  wm.GetMonitor(t.window, monitor);
  SizeChoices c;
  if (o.size) {
    c.selectedPreset = kCustomPreset;
    c.fields = {NumberToText(o.size->width), NumberToText(o.size->height), "0",
                "0"};
  } else {
    c = env.savedChoices(monitor.width(), monitor.height());
  }
  if (o.border) {
    c.chkBorder = *o.border > 0 ? 1 : 0;
    c.fields.border = NumberToText(*o.border);
  }
  if (o.taskbar) {
    c.chkTask = *o.taskbar > 0 ? 1 : 0;
    c.fields.task = NumberToText(*o.taskbar);
  }
  ActionResult r;
  UsePlacements(env, [&](ResizedWindowLedger& ledger) {
    r = SizeWindow({wm, ledger, t.window, {}, o.content}, c, monitor.width(),
                   monitor.height());
  });
  Acted(env, t, r, j);
  j["asked"] = SizeJson(r.asked);
  j["target"] = SizeJson(r.target);
  if (r.took) {
    j["took"] = SizeJson(*r.took);
  }
  j["exact"] = r.outcome == Outcome::kDone;
  return r.outcome == Outcome::kNothing ? kNothing
         : r.outcome == Outcome::kDone  ? kDone
                                        : kInexact;
}

int RestoreCommand(Environment& env, const Target& t, json& j) {
  ActionResult r;
  UsePlacements(env, [&](ResizedWindowLedger& ledger) {
    r = RestoreWindow({env.wm, ledger, t.window});
  });
  Acted(env, t, r, j);
  j["restored"] = r.outcome == Outcome::kDone;
  return r.outcome == Outcome::kDone ? kDone : kNothing;
}

// One window as query and list tell it; false when it cannot be read.
bool Describe(WindowManager& wm, WindowHandle w, json& j) {
  WindowPlacement p;
  if (wm.GetWindowPlacement(w, p) <= 0) {
    return false;
  }
  j.update({{"window", w},
            {"title", ReadCleanTitle(wm, w)},
            {"rect", RectJson(p.rcNormalPosition)},
            {"state", ShowStateName(p.showCmd)}});
  return true;
}

// WIDTHxHEIGHT+LEFT+TOP of a rectangle of an answer.
std::string Geometry(const json& r) {
  const int x = r["x"], y = r["y"];
  return Geometry(
      Rect{x, y, x + r["width"].get<int>(), y + r["height"].get<int>()});
}

// One window of an answer as a line: number, place, state and title.
std::string WindowLine(const json& j) {
  return NumberToText(j["window"].get<int>()) + " " + Geometry(j["rect"]) +
         " " + j["state"].get<std::string>() + " " +
         j["title"].get<std::string>();
}

int QueryCommand(Environment& env, const Target& t, json& j) {
  WindowManager& wm = env.wm;
  if (!Describe(wm, t.window, j)) {
    const std::string silent = DidNotAnswer(wm);
    j["error"] = silent.empty() ? "The window is gone" : silent;
    return kNothing;
  }
  Rect area;
  if (wm.GetWorkArea(t.window, area)) {
    j["workArea"] = RectJson(area);
  }
  const std::string identity = wm.WindowIdentity(t.window);
  bool remembered = false;
  UsePlacements(env, [&](const ResizedWindowLedger& ledger) {
    remembered = ledger.Remembers(t.window, identity);
  });
  j["remembered"] = remembered;
  return kDone;
}

int ListCommand(Environment& env, json& j) {
  WindowManager& wm = env.wm;
  const std::vector<WindowHandle> all = wm.ListWindows();
  if (std::string silent = DidNotAnswer(wm); !silent.empty()) {
    j["error"] = std::move(silent);
    return kNothing;
  }
  // A window that cannot be read because the desktop failed (not because
  // it closed meanwhile) makes the whole list a failure, not a shorter one.
  for (const WindowHandle w : all) {
    if (json one; Describe(wm, w, one)) {
      j["windows"].push_back(one);
    } else if (std::string silent = DidNotAnswer(wm); !silent.empty()) {
      j["windows"] = json::array();
      j["error"] = std::move(silent);
      return kNothing;
    }
  }
  return kDone;
}

// The answer as text: the report, the window and its work area, or the
// windows; nothing when nothing was done and no report says why.
void PrintText(const Options& o, Environment& env, const json& j) {
  if (j.contains("report")) {
    const std::string& report = j["report"];
    env.out(report.empty() ? "" : report + "\n");
  } else if (o.command == Command::kList) {
    for (const json& w : j["windows"]) {
      env.out(WindowLine(w) + "\n");
    }
  } else if (j["outcome"] != "nothing") {
    env.out(WindowLine(j) + "\n" +
            (j["workArea"].is_object()
                 ? "work area " + Geometry(j["workArea"]) + "\n"
                 : "") +
            (j["remembered"] ? "remembered: restore puts it back\n"
                             : "not remembered\n"));
  }
}

}  // namespace

int Run(const Options& o, Environment& env) {
  json j = Answer(o);
  int status = kNothing;
  if (o.command == Command::kList) {
    status = ListCommand(env, j);
  } else if (const Target t = Resolve(o, env); t.refused) {
    if (t.window > 0) {
      j["window"] = t.window;
      j["title"] = ReadCleanTitle(env.wm, t.window);
    }
    j["error"] = t.why;
  } else {
    j["window"] = t.window;
    status = o.command == Command::kSize      ? SizeCommand(o, env, t, j)
             : o.command == Command::kRestore ? RestoreCommand(env, t, j)
                                              : QueryCommand(env, t, j);
  }
  j["outcome"] = status == kDone      ? "done"
                 : status == kInexact ? "inexact"
                                      : "nothing";
  // Why nothing was done, where no report says it.
  if (status == kNothing && j.value("report", "").empty()) {
    const std::string_view verb = o.command == Command::kSize      ? "sized"
                                  : o.command == Command::kRestore ? "restored"
                                  : o.command == Command::kQuery   ? "read"
                                                                   : "listed";
    env.err(j["error"].get<std::string>() + ": nothing was " +
            std::string(verb) + "\n");
  }
  if (o.json) {
    env.out(Dump(j));
  } else {
    PrintText(o, env, j);
  }
  return status;
}

std::string FailureAnswer(const Options* o, std::string_view error) {
  json j = o != nullptr ? Answer(*o)
                        : json{{"command", nullptr}, {"outcome", "usage"}};
  j["error"] = error;
  return Dump(j);
}

}  // namespace pentrax::cli
