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

// A program a test started, killed when it goes; Write to its standard input.
class Client {
 public:
  explicit Client(const std::vector<std::string>& argv);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  std::string ReadLine();  // the next line it printed
  void Write(const std::string& line);
  void Kill();  // and wait until the process is gone
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int in_ = -1;
};

// Starts a program that prints its window id first (the test window); the
// id once the window manager has taken the window in (throws when it does
// not within 10 s) and framed it.
WindowHandle StartWindow(std::unique_ptr<Client>& client,
                         const std::vector<std::string>& argv);

// What a shell command printed; nullopt when it failed.
std::optional<std::string> Run(const std::string& command);

// The id of the first window whose WM_CLASS instance is `name`, once mapped.
WindowHandle FindWindowByClass(const std::string& name);

// As a pager asks it, and as the pointer does (near its top-left corner).
void Activate(WindowHandle window);
void Click(WindowHandle window);
WindowHandle ActiveWindow();  // 0: none
std::string ScreenSize();     // "1280x1024"

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
Rect OuterOf(WindowHandle window);  // empty once it is gone
// What xprop prints of a window's property.
std::string Property(WindowHandle window, const std::string& name);

// GNOME Shell's state for Pentrax's extension (1 on, 2 off, 3 failed, 4 out
// of date; 0 untold), and switched until the shell says `state` (false: not
// within 10 s).
int ExtensionState();
bool SwitchExtension(bool on, int state);

}  // namespace pentrax::testing
