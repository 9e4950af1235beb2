// The window-management operations on X11, through an xcb connection of the
// backend's own and the EWMH hints of the running window manager.
//
// A window's rectangle is its outer rectangle, frame included: the client
// window (with its X border) grown by _NET_FRAME_EXTENTS, or shrunk by
// _GTK_FRAME_EXTENTS for a client-side decorated window, in work-area
// coordinates. No window manager publishes the rectangle a maximised window
// returns to: for a window this backend placed, the rectangle it placed is
// reported; for any other maximised window, its maximised rectangle.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "window_manager.h"

namespace pentrax {

class X11WindowManager final : public WindowManager {
 public:
  // Connects to the named display (nullptr: $DISPLAY). Returns nullptr, with
  // a one-line reason in *error, when no X server can be reached.
  static std::unique_ptr<X11WindowManager> Connect(const char* displayName,
                                                   std::string* error);
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
  std::string WindowIdentity(WindowHandle window) override;
  bool IsOwnProcessWindow(WindowHandle window) override;

  // How many times the backend has waited for the X server's answer since it
  // connected: one per batch of requests.
  std::uint64_t roundTrips() const;
  // How long the backend has waited for the window manager to carry out its
  // requests since it connected.
  std::chrono::nanoseconds settleTime() const;

  // Waits, as a write does, until the window's rectangle (work-area
  // coordinates, frame included) is the given one, or it has stopped
  // changing; true when it is the given one. For comparing other tools.
  bool WaitUntilPlaced(WindowHandle window, const Rect& normal);

  struct Impl;

 private:
  explicit X11WindowManager(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace pentrax
