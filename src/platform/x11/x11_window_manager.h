// The window-management operations on X11, through an xcb connection of the
// backend's own and the EWMH hints of the running window manager.
//
// A window's rectangle is its outer rectangle, frame included: the client
// window (with its X border) grown by _NET_FRAME_EXTENTS, or shrunk by
// _GTK_FRAME_EXTENTS for a client-side decorated window, measured from the
// top-left corner of _NET_WORKAREA. No window manager publishes the rectangle
// a maximised or fullscreen window returns to: for a window this backend
// placed, the rectangle it placed is reported (also in a later process,
// through the placement detail); for any other, its current one.
#pragma once

#include <memory>
#include <string>

#include "window_manager.h"
#include "work_area.h"

namespace pentrax {

namespace x11 {
struct Backend;
}

class X11WindowManager final : public WindowManager {
 public:
  // Connects to the named display (nullptr: $DISPLAY). Returns nullptr, with
  // a one-line reason in *error, when no X server can be reached.
  static std::unique_ptr<X11WindowManager> Connect(const char* displayName,
                                                   std::string* error);
  // Over pieces of the backend already wired (Connect makes them); a
  // benchmark keeps a reference to read their counts.
  explicit X11WindowManager(std::unique_ptr<x11::Backend> backend);
  ~X11WindowManager() override;
  X11WindowManager(const X11WindowManager&) = delete;
  X11WindowManager& operator=(const X11WindowManager&) = delete;

  WindowHandle GetForegroundWindow() override;
  int GetWindowPlacement(WindowHandle window,
                         WindowPlacement& placement) override;
  int SetWindowPlacement(WindowHandle window,
                         const WindowPlacement& placement) override;
  int GetWindowText(WindowHandle window, char* buffer, int maxCount) override;
  bool GetWorkArea(WindowHandle window, Rect& workArea) override;
  bool GetMonitor(WindowHandle window, Rect& monitor) override;
  std::optional<Insets> GetFrameInsets(WindowHandle window) override;
  std::vector<WindowHandle> ListWindows() override;
  std::string WindowIdentity(WindowHandle window) override;
  bool IsOwnProcessWindow(WindowHandle window) override;
  std::string PlacementDetail(WindowHandle window) override;
  void TakePlacementDetail(WindowHandle window,
                           std::string_view detail) override;
  void StartForegroundWatch() override;
  void StopForegroundWatch() override;

 private:
  // The work area or the whole of the window's monitor, in placements'
  // coordinates.
  bool MonitorArea(WindowHandle window, Rect x11::MonitorAreas::Result::*which,
                   Rect& rect);
  std::unique_ptr<x11::Backend> b_;
};

}  // namespace pentrax
