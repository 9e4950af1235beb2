// The window-management operations through which Pentrax acts on other
// applications' top-level windows. Each backend (X11, sway, KWin, GNOME,
// Win32) implements them with the results and effects described here; the
// sizing logic knows nothing else about the window system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pentrax {

// An opaque identifier of a top-level window, compared by value; 0 means no
// window. On X11 it is the client window's id; on sway, KWin and GNOME a
// number that no other window is given.
using WindowHandle = std::int32_t;

// Left, top, right, bottom in pixels; right and bottom lie just outside, so
// width = right - left.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t width() const { return right - left; }
  std::int32_t height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
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
  // programs, the topmost last where the desktop tells the order. Empty when
  // the desktop cannot be asked.
  virtual std::vector<WindowHandle> ListWindows() = 0;

  // Why ListWindows does not list this window, in words that follow its
  // number ("is the task bar"); empty for a window it lists. The commands
  // act only on windows it lists.
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

  // Whether the window belongs to Pentrax's own process (its main window, a
  // message box it shows): such windows are never acted on.
  virtual bool IsOwnProcessWindow(WindowHandle window) = 0;

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
