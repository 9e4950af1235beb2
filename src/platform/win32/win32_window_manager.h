// The window-management operations on Windows: a thin layer over user32.
// Normal rectangles and work areas are in workspace coordinates, as
// GetWindowPlacement gives them (see WorkspaceOffset); a rectangle is the
// window's visible frame, without the invisible borders (frame.h).
// Handles are HWND values compared as 32-bit numbers (user handles are
// 32-bit significant on 64-bit Windows too).
#pragma once

#include <string>

#include "window_manager.h"

namespace pentrax {

class Win32WindowManager : public WindowManager {
 public:
  WindowHandle GetForegroundWindow() override;
  int GetWindowPlacement(WindowHandle window,
                         WindowPlacement& placement) override;
  int SetWindowPlacement(WindowHandle window,
                         const WindowPlacement& placement) override;
  // The title in UTF-8, cut on a character boundary.
  int GetWindowText(WindowHandle window, char* buffer, int maxCount) override;
  bool GetWorkArea(WindowHandle window, Rect& workArea) override;
  bool GetMonitor(WindowHandle window, Rect& monitor) override;
  std::optional<Insets> GetFrameInsets(WindowHandle window) override;
  std::vector<WindowHandle> ListWindows() override;
  std::string WhyNotListed(WindowHandle window) override;
  // The owning process and the window class.
  std::string WindowIdentity(WindowHandle window) override;
  // A window of any Pentrax process, as WhyNotListed tells it.
  bool IsOwnProcessWindow(WindowHandle window) override;
  // "The window" after a sizing or restoring that it held up (its thread
  // did not take messages), until the next call that reads a window.
  std::string NotAnswering() override { return hung_ ? "The window" : ""; }

 private:
  bool hung_ = false;
};

}  // namespace pentrax
