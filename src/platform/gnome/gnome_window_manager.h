// The window-management operations on GNOME, through Pentrax's GNOME Shell
// extension (pentrax@pentrax.dev) on the session bus: GNOME offers no other
// way to move or size another program's window.
//
// The extension answers only the pentrax2 it was installed with (and, in a
// build folder, the build's programs that use it), however many run.
//
// Handles are the shell's stable window numbers, which it never gives to
// another window. Rectangles (placements and work areas) are in the shell's
// stage coordinates, frame included. The shell does not tell the rectangle a
// maximised or fullscreen window returns to (placed_normals.h).
#pragma once

#include <memory>
#include <string>

#include "window_manager.h"

namespace pentrax {

class GnomeWindowManager final : public WindowManager {
 public:
  // Connects to the session bus and checks that the extension answers.
  // Returns nullptr when it does not, with in *error why, as GNOME Shell
  // tells it (gnome_session.h), and what to do.
  static std::unique_ptr<GnomeWindowManager> Connect(std::string* error);
  ~GnomeWindowManager() override;
  GnomeWindowManager(const GnomeWindowManager&) = delete;
  GnomeWindowManager& operator=(const GnomeWindowManager&) = delete;

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
  std::string NotAnswering() override;

  struct Impl;

 private:
  explicit GnomeWindowManager(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace pentrax
