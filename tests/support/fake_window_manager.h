// Windows in memory, one in front, a 1280 x 1024 monitor less a 30-pixel dock.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "utf8_cut.h"
#include "window_manager.h"

namespace pentrax::testing {

struct FakeWindow {
  WindowPlacement placement;
  std::string title, identity;
  bool failWrites = false;   // SetWindowPlacement fails and changes nothing
  bool listed = true;        // false: a dock (ListWindows leaves it out)
  int readsBeforeGone = -1;  // then GetWindowPlacement finds it gone
};

class FakeWindowManager : public WindowManager {
 public:
  std::map<WindowHandle, FakeWindow> windows;
  WindowHandle foreground = 0;
  bool workAreaKnown = true;
  std::string notAnswering;                 // NotAnswering's answer
  std::vector<WindowHandle> ownWindows;     // windows of Pentrax's own process
  std::map<WindowHandle, std::string> why;  // WhyNotListed's answers

  FakeWindow& Add(WindowHandle h, Rect normal, std::string title = "Window",
                  std::int32_t show = kShowNormal) {
    FakeWindow& w = windows[h];
    w.placement.showCmd = show;
    w.placement.rcNormalPosition = normal;
    w.title = std::move(title);
    return w;
  }
  FakeWindow* Find(WindowHandle h) {
    const auto it = windows.find(h);
    return it == windows.end() ? nullptr : &it->second;
  }

  WindowHandle GetForegroundWindow() override { return foreground; }
  int GetWindowPlacement(WindowHandle h, WindowPlacement& p) override {
    FakeWindow* w = Find(h);
    if (w != nullptr && w->readsBeforeGone-- == 0) windows.erase(h);
    if (w == nullptr || !windows.contains(h)) return 0;
    p = w->placement;
    return 1;
  }
  int SetWindowPlacement(WindowHandle h, const WindowPlacement& p) override {
    FakeWindow* w = Find(h);
    if (w == nullptr || w->failWrites) return 0;
    w->placement.showCmd = p.showCmd == kShowRestore ? kShowNormal : p.showCmd;
    w->placement.rcNormalPosition = p.rcNormalPosition;
    return 1;
  }
  int GetWindowText(WindowHandle h, char* buffer, int maxCount) override {
    const FakeWindow* w = Find(h);
    return CopyTitle(w ? w->title : "", buffer, maxCount);
  }
  bool GetWorkArea(WindowHandle, Rect& area) override {
    if (workAreaKnown) area = {0, 0, 1280, 994};
    return workAreaKnown;
  }
  bool GetMonitor(WindowHandle, Rect& m) override {
    m = {0, 0, 1280, 1024};
    return true;
  }
  std::optional<Insets> GetFrameInsets(WindowHandle h) override {
    return Find(h) ? std::optional(Insets{}) : std::nullopt;
  }
  std::vector<WindowHandle> ListWindows() override {
    std::vector<WindowHandle> all;
    for (const auto& [h, w] : windows) {
      if (w.listed && !IsOwnProcessWindow(h)) all.push_back(h);
    }
    return all;
  }
  bool IsOwnProcessWindow(WindowHandle h) override {
    return std::ranges::find(ownWindows, h) != ownWindows.end();
  }
  std::string WhyNotListed(WindowHandle h) override { return why[h]; }
  std::string NotAnswering() override { return notAnswering; }
  std::string WindowIdentity(WindowHandle h) override {
    const FakeWindow* w = Find(h);
    return w ? w->identity : "";
  }
};

}  // namespace pentrax::testing
