// Which window the user has picked: the active window, or a window that
// takes no input focus (a clock, an on-screen keyboard) which the user
// clicked, raised or activated (through a task bar) after arming a button,
// whether it was there at arming or opened since. Desktop and dock windows
// are never picked.
#pragma once

#include <cstdint>
#include <vector>

#include "window_tree.h"
#include "wm_presence.h"

namespace pentrax::x11 {

class ForegroundPicker {
 public:
  ForegroundPicker(Connection& x, WmPresence& wm, WindowTree& tree)
      : x_(x), wm_(wm), tree_(tree) {}

  // Notes the window stack and the active window as they are when the user
  // arms a button, and starts counting clicks and activation requests.
  void StartWatch();
  // The picked window; while a watch runs and nothing new is picked (the
  // user clicked the desktop, say), the window that was active at arming.
  xcb_window_t Foreground();
  // Stops counting them: the watch has ended. The pick stays as it was.
  void StopListening() { Listen(false); }
  // The client windows as last listed by the window manager (empty when it
  // lists none).
  const std::vector<xcb_window_t>& clients() const { return clients_; }

 private:
  // What the picking needs to know of a window.
  struct Traits {
    bool pickable = true;  // not the desktop or a dock
    bool ordinary = true;  // normal, dialog, utility, or untyped
    bool hidden = false;   // minimised
    bool noFocus = false;  // refuses the input focus (ICCCM)
  };
  std::vector<Traits> ReadTraits(const std::vector<xcb_window_t>& windows);
  bool Raised(xcb_window_t w, const std::vector<xcb_window_t>& stack) const;
  void Listen(bool on);

  Connection& x_;
  WmPresence& wm_;
  WindowTree& tree_;
  bool watching_ = false;
  bool listening_ = false;
  std::vector<xcb_window_t> armedStack_;
  xcb_window_t armedActive_ = XCB_NONE;
  std::uint64_t pressesSeen_ = 0;
  std::uint64_t activationsSeen_ = 0;
  xcb_window_t clicked_ = XCB_NONE;
  xcb_window_t activated_ = XCB_NONE;
  std::vector<xcb_window_t> clients_;
};

}  // namespace pentrax::x11
