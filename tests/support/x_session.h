// Helpers for tests against a real X server: starting and stopping client
// programs, and reading windows with independent tools (xwininfo, xprop).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "eventually.h"
#include "window_manager.h"

namespace pentrax::testing {

// A client program started by a test; killed when it goes out of scope.
// What Write sends is its standard input.
class Client {
 public:
  explicit Client(const std::vector<std::string>& argv);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // The first line the program printed (the test window prints its id).
  std::string ReadLine();
  void Write(const std::string& line);
  void Kill();  // and wait until the process is gone
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int in_ = -1;
};

// Starts a program that prints its window id first (the test window) and
// returns the id once the window manager has taken the window in (throws
// when it does not within 10 s) and framed it.
WindowHandle StartWindow(std::unique_ptr<Client>& client,
                         const std::vector<std::string>& argv);

// Runs a shell command and returns what it printed; nullopt on failure.
std::optional<std::string> Run(const std::string& command);

// The id of the first window whose WM_CLASS instance is `name`, once mapped.
WindowHandle FindWindowByClass(const std::string& name);

// Asks the window manager to activate a window, as a click on it would.
void Activate(WindowHandle window);
// _NET_ACTIVE_WINDOW, as xdotool reads it; 0 when there is none.
WindowHandle ActiveWindow();
// Clicks into a window, near its top-left corner, with the pointer.
void Click(WindowHandle window);
// The screen's size, as xwininfo reads the root window: "1280x1024".
std::string ScreenSize();

// What xwininfo and xprop say of a client window, in root coordinates.
struct IndependentReading {
  Rect client;  // with its X border
  Rect frame;   // the root's child that holds the client
  std::int32_t extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
  Rect Outer() const {
    return {client.left - extents[0], client.top - extents[2],
            client.right + extents[1], client.bottom + extents[3]};
  }
};
std::optional<IndependentReading> ReadIndependently(WindowHandle window);
// Its outer rectangle, as read so; an empty one once the window is gone.
Rect OuterOf(WindowHandle window);

// What xprop prints of a window's property.
std::string Property(WindowHandle window, const std::string& name);

// GNOME Shell's state for Pentrax's GNOME Shell extension (1 on, 2 off, 3
// failed, 4 out of date; 0 when the shell does not tell), and switching it
// on or off until the shell gives it the state (false: not within 10 s).
int ExtensionState();
bool SwitchExtension(bool on, int state);

// The extension switched off for as long as it lives, and on again after,
// also when a test fails part way.
class ExtensionOff {
 public:
  ExtensionOff();
  ~ExtensionOff();
  ExtensionOff(const ExtensionOff&) = delete;
  ExtensionOff& operator=(const ExtensionOff&) = delete;
};

}  // namespace pentrax::testing
