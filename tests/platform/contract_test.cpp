// The promises of window_manager.h as one table of cases, run on the
// session's desktop (or Wine) for every kind of window it has and checked by
// what the desktop itself shows; results as JSON in PENTRAX_CONTRACT_RESULTS
// for scripts/contract-table.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "backend_checks.h"
#include "contract_desktop.h"

#ifndef _WIN32
#include <signal.h>

#include <QCoreApplication>
#endif

namespace pentrax {
namespace {

using testing::Eventually;
using testing::Reading;
using testing::Role;
using testing::TestWindow;

struct Case {
  const char* name;
  void (*check)(const std::string& kind);
  bool eachKind = true;
  std::int32_t show = kShowNormal;  // the state the case puts windows into
};

std::unique_ptr<testing::ContractDesktop> desk;
std::unique_ptr<WindowManager> wm;  // one at a time (KWin's: one a process)
const Case* running = nullptr;
std::vector<std::string> notes;  // of the case that runs

// A later Pentrax process's backend, in the place of the one before.
void Later() {
  wm.reset();
  wm = desk->Connect();
  ASSERT_NE(wm, nullptr);
}

// (What the desktop does its own way is noted.)
bool Cannot(const std::string& what) {
  const std::string why = testing::Cannot(*desk, what);
  if (!why.empty() && std::ranges::count(notes, why) == 0) notes.push_back(why);
  return why.starts_with("n/a");
}

std::string TitleOf(WindowHandle h) {
  char buffer[512] = "";
  wm->GetWindowText(h, buffer, sizeof buffer);
  return buffer;
}

std::optional<WindowPlacement> Placement(WindowHandle h) {
  WindowPlacement p;
  return wm->GetWindowPlacement(h, p) > 0 ? std::optional(p) : std::nullopt;
}
int Place(WindowHandle h, std::int32_t show, const Rect& r) {
  WindowPlacement p;
  p.showCmd = show;
  p.rcNormalPosition = r;
  return wm->SetWindowPlacement(h, p);
}

// The backend's reading once the same 100 ms apart with a frame (GNOME
// lists a new window before it has one, and tells a state before its frame).
std::optional<WindowPlacement> Steady(const std::function<WindowHandle()>& h) {
  std::optional<WindowPlacement> last, now;
  EXPECT_TRUE(Eventually(
      [&] {
        last = std::exchange(now, Placement(h()));
        return now && now == last && now->rcNormalPosition.width() > 0;
      },
      testing::kAppearsMs, 100));
  return now;
}

// A window of the kind, its handle found by its title where the desktop
// tells none (Pentrax's own: in front, not listed).
std::optional<TestWindow> Start(const std::string& kind,
                                Role role = Role::kOrdinary,
                                std::string title = "") {
  static int started = 0;
  if (title.empty()) title = "contract " + std::to_string(++started);
  auto w = desk->Start(kind, title, role);
  EXPECT_TRUE(w) << kind << " did not open";
  if (w && role != Role::kDock) {
    Steady([&] {
      std::vector<WindowHandle> all = wm->ListWindows();
      if (role == Role::kOwn && desk->Activate(*w)) {
        all.push_back(wm->GetForegroundWindow());
      }
      for (const WindowHandle h : all) {
        if (w->handle == 0 && TitleOf(h) == title) w->handle = h;
      }
      return w->handle;
    });
  }
  return w;
}

std::optional<Reading> Read(const TestWindow& w) { return desk->Read(w); }
// (Its size alone where the desktop tells no place.)
bool Shows(const std::optional<Reading>& r, const Rect& frame) {
  return r && (r->placeKnown ? r->frame == frame
                             : r->frame.width() == frame.width() &&
                                   r->frame.height() == frame.height());
}
bool ShowsState(const TestWindow& w, std::int32_t show) {
  return Eventually([&] { return Read(w) && Read(w)->show == show; }, 5000);
}
// In the state as the desktop finishes it: the same 100 ms apart (a window
// manager may animate a change), and a full-screen window covering the
// monitor first (foot under sway 1.12 on a busy machine stayed at its old
// size, at the monitor's corner, for longer). A frame of a window's own keeps
// its shadow outside it, full screen too.
std::optional<Reading> Settled(const TestWindow& w, std::int32_t show,
                               const std::string& kind) {
  if (show == kShowFullscreen && !kind.ends_with("own frame")) {
    Eventually([&] { return Shows(Read(w), desk->Monitor()); }, 5000);
  }
  std::optional<Reading> last, now;
  Eventually(
      [&] {
        last = std::exchange(now, Read(w));
        return now && last && last->frame == now->frame &&
               last->show == now->show;
      },
      5000, 100);
  return now;
}
std::string Seen(const TestWindow& w) {
  const auto r = Read(w);
  return r ? ::testing::PrintToString(r->frame) + " " +
                 std::string(ShowStateName(r->show))
           : "gone";
}

Rect In(int x, int y, int w, int h) {
  const Rect a = desk->WorkArea();
  return {a.left + x, a.top + y, a.left + x + w, a.top + y + h};
}

void WindowInFront(const std::string& kind) {
  const auto a = Start(kind), b = Start(kind);
  ASSERT_TRUE(a && b);
  const auto inFront = [&](const TestWindow& w) {
    EXPECT_TRUE(Eventually([&] {
      return wm->GetForegroundWindow() == w.handle &&
             Read(w)->active.value_or(true);
    })) << w.title
        << ", not " << TitleOf(wm->GetForegroundWindow());
  };
  inFront(*b);  // the newest
  if (desk->Activate(*a)) {
    inFront(*a);
    EXPECT_FALSE(Read(*b)->active.value_or(false));
    desk->Activate(*b);
    inFront(*b);
  }
}

// Cut on a character's boundary, then a NUL, the rest left as it was.
void Title(const std::string& kind) {
  std::string title = "Pentrax";
  while (title.size() < 300) title += "\xF0\x9F\x93\x90";
  const auto w = Start(kind, Role::kOrdinary, title);
  ASSERT_TRUE(w);
  char buffer[256];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  ASSERT_EQ(wm->GetWindowText(w->handle, buffer, 255), 251);  // 7 + 61 * 4
  EXPECT_EQ(std::string(buffer, 256),
            title.substr(0, 251) + std::string(1, '\0') + std::string(4, 'x'));
  EXPECT_NE(wm->WindowIdentity(w->handle), "");
}

// A window as the desktop placed it (the insets, or the size the window
// says it was given).
void FrameInsetsAndMonitor(const std::string& kind) {
  const auto w = Start(kind);
  ASSERT_TRUE(w);
  const auto p = Placement(w->handle);
  const auto in = wm->GetFrameInsets(w->handle);
  const auto r = Read(*w);
  ASSERT_TRUE(p && in && r && (r->insets || r->content));
  EXPECT_TRUE(Shows(r, p->rcNormalPosition))
      << Seen(*w) << ", not " << ::testing::PrintToString(p->rcNormalPosition);
  EXPECT_EQ(in, r->insets.value_or(*in));
  const Rect& f = p->rcNormalPosition;
  const Size content{f.width() - in->left - in->right,
                     f.height() - in->top - in->bottom};
  EXPECT_EQ(r->content.value_or(content), content);
  Rect area, monitor;
  EXPECT_TRUE(wm->GetWorkArea(w->handle, area) &&
              wm->GetMonitor(w->handle, monitor));
  EXPECT_EQ(area, desk->WorkArea());
  EXPECT_EQ(monitor, desk->Monitor());
}

void PlacedAndReadBack(const std::string& kind) {
  const auto w = Start(kind);
  ASSERT_TRUE(w);
  for (const Rect& r : {In(60, 50, 646, 458), In(20, 30, 500, 400)}) {
    EXPECT_EQ(Place(w->handle, kShowRestore, r), 1);
    EXPECT_TRUE(Eventually([&] { return Shows(Read(*w), r); })) << Seen(*w);
    const auto p = Placement(w->handle).value_or(WindowPlacement{});
    EXPECT_EQ(p.showCmd, kShowNormal);
    EXPECT_EQ(p.rcNormalPosition, r);
  }
}

// Sized, put into the state by the user, sized again and put back by a
// later process (handed the placement detail): in the state as it was, and
// out of it at the first sizing's rectangle, which only the detail knows.
void InState(const std::string& kind) {
  const std::int32_t show = running->show;
  const std::string state = running->name;
  const auto cannot = [&](const std::string& what) {
    return Cannot(what) || Cannot(what + " of " + kind);
  };
  if (cannot(state)) return;
  const auto w = Start(kind);
  ASSERT_TRUE(w);
  const WindowHandle h = w->handle;
  const Rect first = In(60, 50, 646, 458), sized = In(30, 40, 500, 400);
  EXPECT_EQ(Place(h, kShowRestore, first), 1);
  desk->Make(*w, show);
  ASSERT_TRUE(ShowsState(*w, show)) << Seen(*w);
  const auto inState = Settled(*w, show, kind);
  std::optional<WindowPlacement> p;
  EXPECT_TRUE(Eventually([&] {
    return (p = Placement(h)) && p->showCmd == show;
  })) << ShowStateName(p ? p->showCmd : 0);
  EXPECT_TRUE(cannot("the normal rectangle of " + state) ||
              p->rcNormalPosition == first);
  EXPECT_EQ(Place(h, kShowRestore, sized), 1);
  EXPECT_TRUE(ShowsState(*w, kShowNormal) && Shows(Read(*w), sized))
      << Seen(*w);

  const std::string detail = wm->PlacementDetail(h);
  EXPECT_LE(detail.size(), kPlacementDetailLength);
  EXPECT_TRUE(
      std::ranges::all_of(detail, [](char c) { return c >= ' ' && c <= '~'; }));
  Later();
  wm->TakePlacementDetail(h, detail);
  EXPECT_EQ(Place(h, show, p->rcNormalPosition), 1);
  EXPECT_TRUE(ShowsState(*w, show)) << Seen(*w);
  // (Settled in every state: under openbox the reading just after a
  // minimise is not always the one that stays.)
  const auto back = Settled(*w, show, kind);
  EXPECT_TRUE(show == kShowMinimized || Shows(back, inState->frame))
      << Seen(*w);
  EXPECT_EQ(Placement(h), p);
  if (!cannot("out of " + state)) {
    desk->Make(*w, kShowNormal);
    EXPECT_TRUE(ShowsState(*w, kShowNormal));
    EXPECT_TRUE(Eventually([&] { return Shows(Read(*w), first); })) << Seen(*w);
  }
}

// Another version's detail, or a damaged one, changes nothing.
void DetailNotUnderstood(const std::string& kind) {
  const auto w = Start(kind);
  ASSERT_TRUE(w);
  EXPECT_EQ(Place(w->handle, kShowRestore, In(60, 50, 646, 458)), 1);
  if (!Cannot("Maximised")) {
    desk->Make(*w, kShowMaximized);
    ASSERT_TRUE(ShowsState(*w, kShowMaximized)) << Seen(*w);
  }
  Later();  // knowing nothing of it
  const auto before = Steady([&] { return w->handle; });
  for (const std::string& detail : std::vector<std::string>{
           "n 1 2 3", "n 9 9 1 1", "n 0 0 99999999999 1", "t Nowhere",
           "\x01\xff", std::string(300, 'n')}) {
    Later();
    wm->TakePlacementDetail(w->handle, detail);
    EXPECT_EQ(Placement(w->handle), before) << detail;
  }
}

// No window, or a number no window has: the primary monitor's.
void UnknownWindowsMonitor(const std::string&) {
  for (const WindowHandle h : {0, 2147483000}) {
    Rect area{1, 2, 3, 4}, monitor = area;
    EXPECT_TRUE(wm->GetWorkArea(h, area) && wm->GetMonitor(h, monitor)) << h;
    EXPECT_EQ(area, desk->WorkArea()) << h;
    EXPECT_EQ(monitor, desk->Monitor()) << h;
  }
}

// Ordinary windows and dialogs of other programs, the topmost last; not a
// dock, nor Pentrax's own (by title too, where they have no handle).
void WhichWindowsAreListed(const std::string& kind) {
  const auto dialog =
      Cannot("a dialog") ? std::nullopt : Start(kind, Role::kDialog);
  const auto dock = Cannot("a dock") ? std::nullopt : Start(kind, Role::kDock);
  const auto own = Start(kind, Role::kOwn);
  const auto a = Start(kind), b = Start(kind);
  ASSERT_TRUE(own && a && b);
  if (desk->Activate(*a)) desk->Activate(*b);
  ASSERT_TRUE(
      Eventually([&] { return wm->GetForegroundWindow() == b->handle; }));
  const auto listed = wm->ListWindows();
  const auto at = [&](const std::optional<TestWindow>& w) {
    return std::ranges::find(listed, w->handle) - listed.begin();
  };
  for (const auto* w : {&a, &b, &dialog}) {
    EXPECT_TRUE(!*w || (at(*w) < std::ssize(listed) &&
                        wm->WhyNotListed((*w)->handle).empty() &&
                        !wm->IsOwnProcessWindow((*w)->handle)));
  }
  EXPECT_TRUE(wm->IsOwnProcessWindow(own->handle));
  EXPECT_EQ(at(own), std::ssize(listed));
  EXPECT_TRUE(!dock || !dock->handle || at(dock) == std::ssize(listed));
  for (const WindowHandle h : listed) {
    EXPECT_TRUE(TitleOf(h) != own->title &&
                (!dock || TitleOf(h) != dock->title))
        << TitleOf(h);
  }
  if (!Cannot("the order")) {
    EXPECT_LT(at(a), at(b));
    EXPECT_EQ(listed.back(), b->handle) << TitleOf(listed.back());
  }
}

// Every call about it fails cleanly; the desktop still answers.
void WindowGone(const std::string& kind) {
  auto w = Start(kind);
  ASSERT_TRUE(w);
  const WindowHandle h = w->handle;
  w->program.reset();
  ASSERT_TRUE(Eventually([&] { return !Read(*w) && !Placement(h); }, 10000));
  testing::ExpectGone(*wm, h);
  EXPECT_EQ(wm->NotAnswering(), "");
  EXPECT_FALSE(wm->GetFrameInsets(h) || wm->IsOwnProcessWindow(h));
  EXPECT_EQ(std::ranges::count(wm->ListWindows(), h), 0);
  Rect area;  // the primary monitor's
  EXPECT_TRUE(wm->GetWorkArea(h, area) && area == desk->WorkArea());
}

// The frame read back is the one a window that keeps its own size took.
void SizeTheWindowRefuses(const std::string& kind) {
  if (Cannot("SizeTheWindowRefuses of " + kind)) return;
  const auto w = Start(kind, Role::kRefusing);
  ASSERT_TRUE(w);
  const Rect asked = In(30, 30, 646, 458);
  EXPECT_EQ(Place(w->handle, kShowRestore, asked), 1);
  EXPECT_TRUE(Eventually([&] {
    const auto r = Read(*w);
    const auto p = Placement(w->handle);
    return r && p && r->frame.height() != asked.height() &&
           Shows(r, p->rcNormalPosition);
  })) << Seen(*w);
}

// Stopped, the desktop is named by each call that fails; going on, it
// answers.
void DesktopNotAnswering(const std::string& kind) {
  const auto w = Start(kind);
  const Rect somewhere = In(10, 10, 500, 400);  // (asked before it stops)
  ASSERT_TRUE(w && desk->Silence(true));
  const auto silent = [&](bool failed) {
    return failed && wm->NotAnswering() == desk->silentName;
  };
  EXPECT_TRUE(silent(wm->GetForegroundWindow() == 0));
  EXPECT_TRUE(silent(wm->ListWindows().empty()));
  EXPECT_TRUE(silent(!Placement(w->handle)));
  EXPECT_TRUE(silent(Place(w->handle, kShowRestore, somewhere) <= 0));
  desk->Silence(false);
  EXPECT_TRUE(Eventually(
      [&] { return Placement(w->handle) && wm->NotAnswering().empty(); },
      10000));
}

// clang-format off
const Case kCases[] = {
    {"WindowInFront", WindowInFront},
    {"Title", Title},
    {"FrameInsetsAndMonitor", FrameInsetsAndMonitor},
    {"PlacedAndReadBack", PlacedAndReadBack},
    {"Maximised", InState, true, kShowMaximized},
    {"Minimised", InState, true, kShowMinimized},
    {"FullScreen", InState, true, kShowFullscreen},
    {"Tiled", InState, true, kShowTiled},
    {"DetailNotUnderstood", DetailNotUnderstood, false},
    {"UnknownWindowsMonitor", UnknownWindowsMonitor, false},
    {"WhichWindowsAreListed", WhichWindowsAreListed, false},
    {"WindowGone", WindowGone},
    {"SizeTheWindowRefuses", SizeTheWindowRefuses},
    {"DesktopNotAnswering", DesktopNotAnswering, false},
};
// clang-format on

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Contract : public ::testing::TestWithParam<Case> {};

TEST_P(Contract, Holds) {
  running = &GetParam();
  RecordProperty("desktop", desk->name);
  notes.clear();
  if (Cannot(running->name)) {
    RecordProperty("cannot", notes.back());
    GTEST_SKIP() << notes.back();
  }
  Later();
  for (const std::string& kind : desk->kinds) {
    SCOPED_TRACE(kind);
    Cannot(kind);
    running->check(kind);
    if (!running->eachKind) break;
  }
  std::string noted;
  for (const std::string& n : notes) noted += (noted.empty() ? "" : "; ") + n;
  if (!noted.empty()) RecordProperty("note", noted);
  wm.reset();
}

INSTANTIATE_TEST_SUITE_P(Backend, Contract, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace pentrax

#ifndef _WIN32
// support/test_window.cpp as --test-window: another process of this
// program, whose window Pentrax takes for its own.
int TestWindowMain(int argc, char** argv);
#endif

int main(int argc, char** argv) {
#ifndef _WIN32
  if (argc > 1 && std::string(argv[1]) == "--test-window") {
    return TestWindowMain(argc - 1, argv + 1);
  }
  signal(SIGPIPE, SIG_IGN);  // a window's program that has ended
  const QCoreApplication app(argc, argv);
#endif
  pentrax::desk = pentrax::testing::SessionDesktop();
  // (Before the command line, which may name another output.)
  if (const char* results = std::getenv("PENTRAX_CONTRACT_RESULTS")) {
    std::string file = pentrax::desk->name;
    std::ranges::replace_if(
        file, [](unsigned char c) { return !std::isalnum(c) && c != '.'; },
        '-');
    GTEST_FLAG_SET(output,
                   std::string("json:") + results + "/" + file + ".json");
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
