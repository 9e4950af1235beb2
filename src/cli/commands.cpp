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

std::string StateName(std::int32_t show) {
  return std::string(ShowStateName(show));
}

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

void Print(Environment& env, const json& j) {
  env.out(j.dump(-1, ' ', false, json::error_handler_t::replace) + "\n");
}

// A report with the result box's line breaks as a terminal's.
std::string Lines(std::string report) {
  for (std::size_t at; (at = report.find("\r\n")) != std::string::npos;) {
    report.replace(at, 2, "\n");
  }
  return report;
}

void PrintLines(Environment& env, const std::string& report) {
  env.out(Lines(report) + "\n");
}

// The window a command acts on, or why there is none.
struct Target {
  WindowHandle window = 0;
  std::string notAnswering;  // when the desktop did not answer the question
  std::string none;          // why there is no window to act on
};

Target Find(const Options& o, Environment& env) {
  WindowManager& wm = env.wm;
  Target t;
  const auto silent = [&] {
    t.notAnswering = wm.NotAnswering();
    return !t.notAnswering.empty();
  };
  switch (o.window.kind) {
    case WindowChoice::Kind::kId: {
      WindowPlacement p;
      if (wm.GetWindowPlacement(o.window.id, p) > 0) {
        t.window = o.window.id;
      } else if (!silent()) {
        t.none = "There is no window " + NumberToText(o.window.id);
      }
      return t;
    }
    case WindowChoice::Kind::kActive:
      t.window = wm.GetForegroundWindow();
      if (t.window <= 0 && !silent()) {
        t.none = "No window is in front";
      }
      return t;
    case WindowChoice::Kind::kPick:
      break;
  }
  // As the window's button does: the next window the user activates.
  const WindowHandle start = wm.GetForegroundWindow();
  wm.StartForegroundWatch();
  env.err("Activate the window to act on (within " +
          NumberToText(o.timeoutSeconds) + " s).\n");
  using Clock = std::chrono::steady_clock;
  const auto until =
      Clock::now() + std::chrono::duration<double>(o.timeoutSeconds);
  while (Clock::now() < until) {
    env.sleep(100);
    const WindowHandle front = wm.GetForegroundWindow();
    if (front > 0 && front != start) {
      t.window = front;
      break;
    }
  }
  wm.StopForegroundWatch();
  if (t.window <= 0 && !silent()) {
    t.none = "No window was activated within " +
             NumberToText(o.timeoutSeconds) + " s";
  }
  return t;
}

// The window a command acts on: one that list lists.
Target Resolve(const Options& o, Environment& env) {
  Target t = Find(o, env);
  if (t.window > 0) {
    if (const std::string why = env.wm.WhyNotListed(t.window); !why.empty()) {
      t.none = "Window " + NumberToText(t.window) + " " + why;
      t.window = 0;
    }
  }
  return t;
}

// Says why nothing was done, in the window's words where it has them.
int Nothing(Environment& env, const Target& t, std::string_view verb) {
  env.err(
      (t.notAnswering.empty() ? t.none : t.notAnswering + " did not answer") +
      ": nothing was " + std::string(verb) + "\n");
  return kNothing;
}

void Note(Environment& env, const std::string& note) {
  if (!note.empty()) {
    env.err("pentrax2: " + note + "\n");
  }
}

json Answer(WindowHandle window, const ActionResult& r) {
  json j = {
      {"window", window}, {"title", r.title}, {"report", Lines(r.report)}};
  if (r.after) {
    j["rect"] = RectJson(r.after->rcNormalPosition);
    j["state"] = StateName(r.after->showCmd);
  }
  return j;
}

int SizeCommand(const Options& o, Environment& env, const Target& t) {
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
  // What was asked, before the size is limited to the monitor as the window
  // limits it.
  const Size requested =
      o.size || o.border || o.taskbar ? TargetSize(c) : Size{};
  ActionResult r;
  Note(env, env.placements.Use([&](ResizedWindowLedger& ledger) {
    r = SizeWindow({wm, ledger, t.window, t.notAnswering, o.content}, c,
                   monitor.width(), monitor.height());
  }));
  const bool exact = r.outcome == Outcome::kDone &&
                     (requested == Size{} || r.asked == requested);
  if (o.json) {
    json j = Answer(t.window, r);
    j["asked"] = {
        {"width", requested == Size{} ? r.asked.width : requested.width},
        {"height", requested == Size{} ? r.asked.height : requested.height}};
    j["content"] = o.content;
    j["exact"] = exact;
    Print(env, j);
  } else {
    PrintLines(env, r.report);
  }
  return r.outcome == Outcome::kNothing ? kNothing : exact ? kDone : kInexact;
}

int RestoreCommand(const Options& o, Environment& env, const Target& t) {
  ActionResult r;
  Note(env, env.placements.Use([&](ResizedWindowLedger& ledger) {
    r = RestoreWindow({env.wm, ledger, t.window, t.notAnswering});
  }));
  if (o.json) {
    json j = Answer(t.window, r);
    j["restored"] = r.outcome == Outcome::kDone;
    Print(env, j);
  } else {
    PrintLines(env, r.report);
  }
  return r.outcome == Outcome::kDone ? kDone : kNothing;
}

// One window as query and list tell it; false when it cannot be read.
bool Describe(WindowManager& wm, WindowHandle w, json& j) {
  WindowPlacement p;
  if (wm.GetWindowPlacement(w, p) <= 0) {
    return false;
  }
  j = {{"window", w},
       {"title", ReadCleanTitle(wm, w)},
       {"rect", RectJson(p.rcNormalPosition)},
       {"state", StateName(p.showCmd)}};
  return true;
}

std::string Line(const json& j) {
  const json& r = j["rect"];
  const Rect rect{r["x"], r["y"], r["x"].get<int>() + r["width"].get<int>(),
                  r["y"].get<int>() + r["height"].get<int>()};
  return NumberToText(j["window"].get<int>()) + " " + Geometry(rect) + " " +
         j["state"].get<std::string>() + " " + j["title"].get<std::string>();
}

int QueryCommand(const Options& o, Environment& env, const Target& t) {
  WindowManager& wm = env.wm;
  json j;
  if (!Describe(wm, t.window, j)) {
    return Nothing(env, {0, wm.NotAnswering(), "The window is gone"}, "read");
  }
  Rect area;
  if (wm.GetWorkArea(t.window, area)) {
    j["workArea"] = RectJson(area);
  }
  const std::string identity = wm.WindowIdentity(t.window);
  bool remembered = false;
  Note(env, env.placements.Use([&](ResizedWindowLedger& ledger) {
    const auto e = ledger.Entry(t.window);
    remembered =
        e && e->identity == identity && e->showState != kRestoredMarker;
  }));
  j["remembered"] = remembered;
  if (o.json) {
    Print(env, j);
  } else {
    env.out(Line(j) + "\n" +
            (area.width() > 0 ? "work area " + Geometry(area) + "\n" : "") +
            (remembered ? "remembered: restore puts it back\n"
                        : "not remembered\n"));
  }
  return kDone;
}

int ListCommand(const Options& o, Environment& env) {
  json all = json::array();
  for (const WindowHandle w : env.wm.ListWindows()) {
    if (json j; Describe(env.wm, w, j)) {
      all.push_back(j);
    }
  }
  if (o.json) {
    Print(env, all);
  } else {
    for (const json& j : all) {
      env.out(Line(j) + "\n");
    }
  }
  return kDone;
}

}  // namespace

int Run(const Options& o, Environment& env) {
  if (o.command == Command::kList) {
    return ListCommand(o, env);
  }
  const Target t = Resolve(o, env);
  const std::string_view verb = o.command == Command::kSize      ? "sized"
                                : o.command == Command::kRestore ? "restored"
                                                                 : "read";
  if (t.window <= 0) {
    return Nothing(env, t, verb);
  }
  switch (o.command) {
    case Command::kSize:
      return SizeCommand(o, env, t);
    case Command::kRestore:
      return RestoreCommand(o, env, t);
    default:
      return QueryCommand(o, env, t);
  }
}

}  // namespace pentrax::cli
