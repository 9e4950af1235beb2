// A real window manager whose foreground window is the one the caller
// picks: for running the actions on a window a thousand times without a
// thousand clicks.
#pragma once

#include <string>

#include "window_manager.h"

namespace pentrax::testing {

class PickedWindowManager : public WindowManager {
 public:
  explicit PickedWindowManager(WindowManager& real) : real_(real) {}
  WindowHandle pick = 0;

  WindowHandle GetForegroundWindow() override {
    real_.GetForegroundWindow();  // the query an action makes, all the same
    return pick;
  }
  int GetWindowPlacement(WindowHandle w, WindowPlacement& p) override {
    return real_.GetWindowPlacement(w, p);
  }
  int SetWindowPlacement(WindowHandle w, const WindowPlacement& p) override {
    return real_.SetWindowPlacement(w, p);
  }
  int GetWindowText(WindowHandle w, char* buffer, int maxCount) override {
    return real_.GetWindowText(w, buffer, maxCount);
  }
  bool GetWorkArea(WindowHandle w, Rect& r) override {
    return real_.GetWorkArea(w, r);
  }
  bool GetMonitor(WindowHandle w, Rect& r) override {
    return real_.GetMonitor(w, r);
  }
  std::optional<Insets> GetFrameInsets(WindowHandle w) override {
    return real_.GetFrameInsets(w);
  }
  std::vector<WindowHandle> ListWindows() override {
    return real_.ListWindows();
  }
  bool IsOwnProcessWindow(WindowHandle w) override {
    return real_.IsOwnProcessWindow(w);
  }
  std::string WindowIdentity(WindowHandle w) override {
    return real_.WindowIdentity(w);
  }

 private:
  WindowManager& real_;
};

}  // namespace pentrax::testing
