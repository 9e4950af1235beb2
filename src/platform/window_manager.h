// The window-management operations through which Pentrax acts on other
// applications' top-level windows. Each backend (X11, sway, KWin, GNOME,
// Win32) implements them with the results and effects described here; the
// sizing logic knows nothing else about the window system.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pentrax {

// An opaque identifier of a top-level window, compared by value; 0 means no
// window. On X11 it is the client window's id, on sway the node's id and on
// GNOME the window's sequence number, which the desktop gives to no other
// window while it runs. On KWin it is a hash of the window's UUID, the same
// in every Pentrax process: a number that two windows share (their UUIDs
// hash alike, very rarely) stands for neither; every call about it fails as
// for a window that is gone, and WhyNotListed says why (handle_map.h).
using WindowHandle = std::int32_t;

// Left, top, right, bottom in pixels; right and bottom lie just outside, so
// width = right - left (clamped to 32 bits, for a rectangle read from
// outside whose sides lie further apart).
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t width() const { return Span(left, right); }
  std::int32_t height() const { return Span(top, bottom); }
  friend bool operator==(const Rect&, const Rect&) = default;

 private:
  static std::int32_t Span(std::int32_t from, std::int32_t to) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{to} - from, INT32_MIN, INT32_MAX));
  }
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Show states used in a placement record.
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimized = 2;
inline constexpr std::int32_t kShowMaximized = 3;
inline constexpr std::int32_t kShowRestore = 9;
// Beyond user32's show states: a fullscreen window (X11 and Wayland), which is
// left for the sizing and put back to fullscreen by a restore.
inline constexpr std::int32_t kShowFullscreen = 1001;
// A window tiled to a part of its monitor by the desktop (KWin's quick
// tiling), which is left for the sizing and tiled again by a restore.
inline constexpr std::int32_t kShowTiled = 1002;

// A show state's name, as the command line and the KWin agent write it.
constexpr std::string_view ShowStateName(std::int32_t showCmd) {
  switch (showCmd) {
    case kShowMaximized:
      return "maximized";
    case kShowMinimized:
      return "minimized";
    case kShowFullscreen:
      return "fullscreen";
    case kShowTiled:
      return "tiled";
    default:
      return "normal";
  }
}

inline constexpr std::uint32_t kPlacementLength = 44;

// The longest detail a backend gives with a placement (PlacementDetail).
inline constexpr std::size_t kPlacementDetailLength = 200;

// What the desktop draws around a window's content (frame, title bar,
// borders), in pixels on each side; all 0 for a window that draws its own.
struct Insets {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Insets&, const Insets&) = default;
};

// A window's placement: its show state and the rectangle it has in its normal
// (neither minimised nor maximised) state, frame included. Each backend uses
// its desktop's own coordinates (its header says which), the same for
// placements and the work area: work-area coordinates on X11 and Win32 (the
// work area's top-left corner is the origin), the compositor's on Wayland.
struct WindowPlacement {
  std::uint32_t length = kPlacementLength;
  std::uint32_t flags = 0;
  std::int32_t showCmd = 0;
  Point ptMinPosition;
  Point ptMaxPosition;
  Rect rcNormalPosition;
  friend bool operator==(const WindowPlacement&,
                         const WindowPlacement&) = default;
};

class WindowManager {
 public:
  virtual ~WindowManager() = default;

  // The window the user has just activated; 0 when there is none.
  virtual WindowHandle GetForegroundWindow() = 0;

  // Fills the record with the window's current placement. A result > 0 means
  // success; <= 0 means failure (no such window, connection lost).
  virtual int GetWindowPlacement(WindowHandle window,
                                 WindowPlacement& placement) = 0;

  // Gives the window the record's show state and normal rectangle; with show
  // state 9 a maximised or minimised window returns to its normal state at
  // that rectangle. A result > 0 means the request was carried out; <= 0 means
  // the window is gone or the request could not be sent.
  virtual int SetWindowPlacement(WindowHandle window,
                                 const WindowPlacement& placement) = 0;

  // Writes the title from the start of the buffer: at most maxCount - 1 bytes,
  // cut on a character boundary, then one NUL; the rest of the buffer is left
  // as it was. Returns the number of title bytes written.
  virtual int GetWindowText(WindowHandle window, char* buffer,
                            int maxCount) = 0;

  // The work area (the monitor less docks and task bars) of the monitor that
  // holds the larger part of the window, in the coordinates of placements'
  // normal rectangles; for a window the backend cannot place on a monitor,
  // the primary monitor's. Returns false, leaving the rectangle as it was,
  // when it cannot be read.
  virtual bool GetWorkArea(WindowHandle window, Rect& workArea) = 0;

  // The monitor (all of it, in the pixels windows are sized in) that holds
  // the larger part of the window, in the coordinates of placements' normal
  // rectangles; for a window the backend cannot place on a monitor, the
  // primary monitor. Returns false, leaving the rectangle as it was, when it
  // cannot be read.
  virtual bool GetMonitor(WindowHandle window, Rect& monitor) = 0;

  // What the desktop draws around the window's content; nullopt when it
  // cannot be read (the window is gone).
  virtual std::optional<Insets> GetFrameInsets(WindowHandle window) = 0;

  // The windows Pentrax could act on: ordinary and dialog windows of other
  // programs than Pentrax (not the desktop, docks, panels, menus, window
  // managers' frames or parts of windows), the topmost last where the
  // desktop tells the order. Empty when the desktop cannot be asked. The
  // commands act on no other window (CheckTarget).
  virtual std::vector<WindowHandle> ListWindows() = 0;

  // Why ListWindows does not list this window, in words that follow its
  // number ("is the task bar"); empty for a window it lists and for one
  // that is gone. The commands act only on windows it lists.
  virtual std::string WhyNotListed(WindowHandle /*window*/) { return {}; }

  // What tells this window apart from a later one that is given the same
  // handle (window ids are reused at once on X11): for example the owning
  // process and the window class. Empty when nothing is known.
  virtual std::string WindowIdentity(WindowHandle window) = 0;

  // When the latest call failed because the desktop did not answer (it is
  // busy, stopped or gone), what did not answer, as the user knows it:
  // "sway", "KWin", "GNOME Shell", "Pentrax's GNOME extension". Empty when the
  // latest call was answered: a failure then means the window is gone.
  virtual std::string NotAnswering() { return {}; }

  // Whether the window is Pentrax's: of this process (its main window, a
  // message box it shows) or of another that runs the same program (the
  // window of the Pentrax a command finds open). Such windows are never
  // acted on, and ListWindows leaves them out.
  virtual bool IsOwnProcessWindow(WindowHandle window) = 0;

  // What a later Pentrax process needs to know of a window that this backend
  // has placed, to act on it as this one would: for example the normal
  // rectangle of a window it left maximised, or where a window it floated
  // was tiled. Printable ASCII of at most kPlacementDetailLength bytes; empty
  // when there is nothing to know. The shared placements keep it with the
  // window's record and hand it back through TakePlacementDetail before the
  // next action on the same window (its identity unchanged), in whichever
  // process that runs. The backend checks what it takes and ignores a
  // detail it does not understand (another version's, a damaged one).
  virtual std::string PlacementDetail(WindowHandle) { return {}; }
  virtual void TakePlacementDetail(WindowHandle, std::string_view) {}

  // Called when the user arms a button: from now on the foreground window is
  // queried until a window is picked. A backend that tells a pick from the
  // window stack notes the stack as it is now.
  virtual void StartForegroundWatch() {}
  // Called when neither button is pressed any more (a window was picked, or
  // the user released the button): what the watch listened to is no longer
  // needed. The picked window stays the foreground window for the action.
  virtual void StopForegroundWatch() {}
};

}  // namespace pentrax
