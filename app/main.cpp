// Pentrax 2: sizes other programs' windows to a test resolution.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frm_pentrax2.h"
#include "x11_window_manager.h"

int main(int, char** argv) {
  // Pentrax sizes X11 windows, so it needs an X display; under Wayland it
  // runs through XWayland.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr,
                 "pentrax2: no X display: Pentrax needs an X11 desktop "
                 "(or XWayland under Wayland) and DISPLAY set\n");
    return 2;
  }
  std::string error;
  auto wm = pentrax::X11WindowManager::Connect(nullptr, &error);
  if (!wm) {
    std::fprintf(stderr, "pentrax2: %s\n", error.c_str());
    return 2;
  }
  // The main window must be an X11 window too, or the program could not
  // tell its own window from the ones it sizes. No command line is read.
  qputenv("QT_QPA_PLATFORM", "xcb");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  pentrax::ui::FrmPentrax2 window(*wm);
  window.show();
  return app.exec();
}
