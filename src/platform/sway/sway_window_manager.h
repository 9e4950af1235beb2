// The window-management operations on sway, through its IPC socket.
//
// A window is a node of sway's layout tree and its handle the node id
// (con_id), which sway never gives to another node. Rectangles are outer
// rectangles (the node with its title bar and borders) in sway's layout
// coordinates; the work area is the rect of the workspace that holds the
// window, which leaves out bars and gaps. A floating window is in its normal
// state; a tiled one counts as maximised, a full-screen one as full screen,
// one hidden in the scratchpad as minimised. Sizing floats the window; a
// restore to the maximised state tiles it again in its old place.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "settle_poll.h"
#include "sway_ipc.h"
#include "sway_placer.h"
#include "sway_tree.h"
#include "window_manager.h"

namespace pentrax {

// Whether a sway session answers on the socket (nullptr: $SWAYSOCK).
bool SwaySessionAnswers(const char* socketPath);

class SwayWindowManager final : public WindowManager {
 public:
  // Connects to the socket (empty: $SWAYSOCK). Returns nullptr, with a
  // one-line reason in *error, when sway does not answer there.
  static std::unique_ptr<SwayWindowManager> Connect(
      const std::string& socketPath, std::string* error);

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
  std::string NotAnswering() override;
  std::string PlacementDetail(WindowHandle window) override;
  void TakePlacementDetail(WindowHandle window,
                           std::string_view detail) override;

  // Requests sent to sway since connecting.
  std::uint64_t requests() const { return ipc_->requests(); }

 private:
  explicit SwayWindowManager(std::unique_ptr<SwayIpc> ipc)
      : ipc_(std::move(ipc)) {}
  // The layout as sway shows it now; a reading a few milliseconds old is
  // reused, unless fresh is asked for.
  const SwayLayout* Layout(bool fresh = false);
  const SwayView* View(WindowHandle window) {
    const SwayLayout* layout = Layout();
    return layout != nullptr ? layout->Find(window) : nullptr;
  }
  bool Run(const std::string& command);
  int FloatAt(SwayView view, const Rect& outer);

  std::unique_ptr<SwayIpc> ipc_;
  std::optional<SwayLayout> layout_;
  std::chrono::steady_clock::time_point layoutAt_{};
  // Where the windows that this backend (or, through the placement
  // detail, an earlier process) floated were tiled.
  std::map<WindowHandle, SwayTiledPlace> tiledPlaces_;
  bool answered_ = true;  // the latest request had an answer
};

}  // namespace pentrax
