// The window-management operations on KDE Plasma's Wayland session, through
// an agent script that the backend runs inside KWin (kwin_channel.h). Native
// Wayland and XWayland windows alike.
//
// Rectangles are frames (title bar included) in KWin's global coordinates:
// placements' normal rectangles and the work area alike. KWin 5.27 does not
// tell scripts whether a window is maximised: a window whose frame fills its
// maximise area counts as maximised. KWin does not tell where a maximised,
// full-screen or quick-tiled window returns to (placed_normals.h). The
// placement detail carries that rectangle and the quick tile a window had
// to a later process.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "handle_map.h"
#include "kwin_protocol.h"
#include "placed_normals.h"
#include "window_manager.h"

namespace pentrax {

class KWinChannel;

class KWinWindowManager final : public WindowManager {
 public:
  // Reaches KWin on the session bus and starts the agent. Returns nullptr,
  // with a one-line reason in *error, when KWin's scripting cannot be
  // reached. A QCoreApplication must exist.
  static std::unique_ptr<KWinWindowManager> Connect(std::string* error);
  ~KWinWindowManager() override;
  KWinWindowManager(const KWinWindowManager&) = delete;
  KWinWindowManager& operator=(const KWinWindowManager&) = delete;

  WindowHandle GetForegroundWindow() override;
  int GetWindowPlacement(WindowHandle window,
                         WindowPlacement& placement) override;
  int SetWindowPlacement(WindowHandle window,
                         const WindowPlacement& placement) override;
  int GetWindowText(WindowHandle window, char* buffer, int maxCount) override;
  bool GetWorkArea(WindowHandle window, Rect& workArea) override;
  bool GetMonitor(WindowHandle window, Rect& monitor) override;
  std::optional<Insets> GetFrameInsets(WindowHandle window) override;
  // Leaves out a window whose number another window shares.
  std::vector<WindowHandle> ListWindows() override;
  std::string WhyNotListed(WindowHandle window) override;
  std::string WindowIdentity(WindowHandle window) override;
  bool IsOwnProcessWindow(WindowHandle window) override;
  std::string NotAnswering() override;
  std::string PlacementDetail(WindowHandle window) override;
  void TakePlacementDetail(WindowHandle window,
                           std::string_view detail) override;

 private:
  explicit KWinWindowManager(std::unique_ptr<KWinChannel> channel);
  // KWin's ordinary and dialog windows, or all of them; empty when KWin
  // did not answer. All of them are noted whenever one is new to this
  // process (handle_map.h).
  std::vector<WindowHandle> Listed(bool all);
  // The UUID behind a handle, also one that another Pentrax process gave out.
  std::optional<std::string> Uuid(WindowHandle window);
  std::optional<KWinWindow> Read(WindowHandle window);
  // The work area or the whole of the window's screen; for a window that
  // KWin does not have, the active screen's.
  bool Area(WindowHandle window, bool whole, Rect& rect);
  // KWin's answer to a request, noting whether there was one.
  std::optional<std::string> Ask(const std::string& request);
  std::optional<KWinWindow> Answered(const std::string& request);

  std::unique_ptr<KWinChannel> channel_;
  HandleMap handles_;
  PlacedNormals normals_;
  // The quick tile each window was last seen in.
  std::map<WindowHandle, std::string> tiles_;
  bool answered_ = true;  // the latest request had an answer
};

}  // namespace pentrax
