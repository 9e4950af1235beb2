// A window manager in memory for the tests of the sizing logic: windows with
// a placement, a title and an identity, a foreground window and a work area,
// and a log of the calls made.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "window_manager.h"

namespace pentrax::testing {

struct FakeWindow {
  WindowPlacement placement;
  std::string title;
  std::string identity;
  bool failReads = false;   // GetWindowPlacement fails
  bool failWrites = false;  // SetWindowPlacement fails and changes nothing
};

class FakeWindowManager : public WindowManager {
 public:
  std::map<WindowHandle, FakeWindow> windows;
  WindowHandle foreground = 0;
  Rect workArea{0, 0, 1280, 994};
  bool workAreaKnown = true;
  std::vector<std::string> calls;
  std::vector<WindowPlacement> writes;

  FakeWindow& Add(WindowHandle h, Rect normal, std::string title = "Window",
                  std::int32_t show = kShowNormal) {
    FakeWindow& w = windows[h];
    w.placement.showCmd = show;
    w.placement.rcNormalPosition = normal;
    w.title = std::move(title);
    return w;
  }

  WindowHandle GetForegroundWindow() override {
    calls.push_back("GetForegroundWindow");
    return foreground;
  }

  int GetWindowPlacement(WindowHandle h, WindowPlacement& p) override {
    calls.push_back("GetWindowPlacement");
    const auto it = windows.find(h);
    if (it == windows.end() || it->second.failReads) {
      return 0;
    }
    p = it->second.placement;
    return 1;
  }

  int SetWindowPlacement(WindowHandle h, const WindowPlacement& p) override {
    calls.push_back("SetWindowPlacement");
    writes.push_back(p);
    const auto it = windows.find(h);
    if (it == windows.end() || it->second.failWrites) {
      return 0;
    }
    WindowPlacement& mine = it->second.placement;
    mine.showCmd = p.showCmd == kShowRestore ? kShowNormal : p.showCmd;
    mine.rcNormalPosition = p.rcNormalPosition;
    return 1;
  }

  int GetWindowText(WindowHandle h, char* buffer, int maxCount) override {
    calls.push_back("GetWindowText");
    const auto it = windows.find(h);
    const std::string title = it == windows.end() ? "" : it->second.title;
    const std::size_t n =
        std::min(title.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, title.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
  }

  bool GetWorkArea(WindowHandle, Rect& area) override {
    calls.push_back("GetWorkArea");
    if (workAreaKnown) {
      area = workArea;
    }
    return workAreaKnown;
  }

  std::vector<WindowHandle> ownWindows;  // windows of Pentrax's own process
  bool IsOwnProcessWindow(WindowHandle h) override {
    calls.push_back("IsOwnProcessWindow");
    return std::find(ownWindows.begin(), ownWindows.end(), h) !=
           ownWindows.end();
  }

  void StartForegroundWatch() override {
    calls.push_back("StartForegroundWatch");
  }
  void StopForegroundWatch() override {
    calls.push_back("StopForegroundWatch");
  }

  std::string WindowIdentity(WindowHandle h) override {
    calls.push_back("WindowIdentity");
    const auto it = windows.find(h);
    return it == windows.end() ? "" : it->second.identity;
  }
};

}  // namespace pentrax::testing
