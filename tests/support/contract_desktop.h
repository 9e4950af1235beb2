// The desktop the contract runs on: its backend, its windows as it shows
// them itself (never through Pentrax), a user's acts, what it cannot do.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "eventually.h"
#include "sizing.h"
#include "window_manager.h"

namespace pentrax::testing {

// How long a new window may take to appear: a busy CI machine is slow.
inline constexpr int kAppearsMs = 30000;

// (What the desktop draws around the content; the content's size as the
// window reports it.)
struct Reading {
  Rect frame;  // outer, frame included
  bool placeKnown = true;
  std::optional<Insets> insets = std::nullopt;
  std::optional<Size> content = std::nullopt;
  std::int32_t show = kShowNormal;
  std::optional<bool> active = std::nullopt;
};

// It ends with `program`; `key` is the desktop's number for it (X id,
// con_id), `handle` the backend's (0: found by its title).
struct TestWindow {
  std::string kind, title;
  std::shared_ptr<void> program;
  long long key = 0;
  WindowHandle handle = 0;
};

// kRefusing: keeps to a size of its own (a terminal's cells, a largest
// size); a dialog, a dock without a strut or Pentrax's own: X11 windows.
enum class Role { kOrdinary, kRefusing, kDialog, kDock, kOwn };

class ContractDesktop {
 public:
  virtual ~ContractDesktop() = default;
  std::string name;  // "sway 1.12 (Debian testing)"
  // "X11", "sway", "KWin", "GNOME" or "Win32"; the backend's name for it
  // when it does not answer.
  std::string family, silentName;
  std::vector<std::string> kinds;  // of the windows it can start

  virtual std::unique_ptr<WindowManager> Connect() = 0;
  // Once taken in and framed; nullopt for a role the kind cannot take.
  virtual std::optional<TestWindow> Start(const std::string& kind,
                                          const std::string& title,
                                          Role role = Role::kOrdinary) = 0;
  virtual std::optional<Reading> Read(const TestWindow& w) = 0;  // or gone
  // As it first showed it (a window that opens in front may be sized by the
  // time it is read).
  virtual std::optional<Reading> Opened(const TestWindow& w) { return Read(w); }
  // As a user would (false where only the opening activates).
  virtual bool Activate(const TestWindow& w) = 0;
  virtual void Make(const TestWindow& w, std::int32_t show) = 0;
  virtual Rect Monitor() = 0;  // the one monitor, and its work area
  virtual Rect WorkArea() = 0;
  virtual bool Silence(bool /*stop*/) { return false; }  // false: cannot
};

std::unique_ptr<ContractDesktop> SessionDesktop();
// The size a Qt window says it was last offered; nullopt for another's.
std::optional<Size> Offered(const TestWindow& w);

// What a desktop (family, or start of name) cannot do ("n/a: why") or does
// its own way (a note).
// clang-format off
inline constexpr std::array<const char*, 3> kCapabilities[] = {
    {"X11", "Tiled", "n/a: no EWMH state says that a window is tiled"},
    {"X11", "DesktopNotAnswering", "n/a: X11 has no desktop-wide silence short of the X server going"},
    {"fluxbox", "SizeTheWindowRefuses", "n/a: fluxbox gives a window sizes beyond the largest it asks for"},
    {"sway", "Maximised", "sway has no maximised state: a tiled window stands for it"},
    {"sway", "Tiled", "n/a: sway's tiling is its maximised state"},
    {"sway", "Minimised", "the scratchpad stands for minimised"},
    {"sway", "the normal rectangle of Maximised", "n/a: sway tells where a tiled window is, not where it would float"},
    {"sway", "the normal rectangle of FullScreen", "n/a: sway tells where a full-screen window is, not where it would float"},
    {"sway", "out of Maximised", "n/a: sway floats a tiled window where it decides"},
    {"sway", "out of FullScreen", "n/a: sway puts a full-screen window back where it decides"},
    {"sway", "SizeTheWindowRefuses of foot", "n/a: foot takes every size (resize-by-cells=no)"},
    {"sway", "the order", "n/a: sway's tree tells no stacking order"},
    {"sway", "a dock", "n/a: sway's bars are layer-shell surfaces, no windows"},
    {"KWin 5.", "Maximised", "KWin 5.27's scripts tell no maximised state: a frame filling the work area counts"},
    {"GNOME", "Tiled", "n/a: Pentrax's GNOME extension places no tiled state"},
    {"GNOME", "Minimised of Qt on Wayland", "n/a: a Wayland client is not told that it is minimised"},
    {"GNOME", "Qt on Wayland", "a Wayland window knows neither its place nor, without a keyboard, its activation: its size and state as it reports them; it is in front when it opens"},
    {"GNOME", "out of FullScreen of Qt on Wayland", "n/a: a Wayland client leaves full screen at a size of its choosing"},
    {"Win32", "FullScreen", "n/a: Windows has no full-screen state"},
    {"Win32", "Tiled", "n/a: Windows keeps no state for a snapped window"},
    {"Win32", "DesktopNotAnswering", "n/a: user32 answers in the process"},
    {"Win32", "a dialog", "n/a: the Win32 suite's own windows are its dialogs"},
    {"Win32", "a dock", "n/a: the Win32 task bar: pentrax2_exe_test.sh"},
    {"Win32 under Wine", "Maximised", "n/a: Wine reads and places another program's maximised window wrong (the Win32 suite places its own)"},
    {"Win32 under Wine", "Minimised", "n/a: Wine reads and places another program's minimised window wrong (the Win32 suite places its own)"},
};
// clang-format on
inline std::string Cannot(const ContractDesktop& d, const std::string& what) {
  for (const auto& [desktop, thing, why] : kCapabilities) {
    if ((d.family == desktop || d.name.starts_with(desktop)) && what == thing) {
      return why;
    }
  }
  return {};
}

}  // namespace pentrax::testing
