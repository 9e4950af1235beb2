// Pentrax 2: sizes other programs' windows to a test resolution.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "form_settings.h"
#include "frm_pentrax2.h"
#include "settings_store.h"
#include "termination.h"
#ifdef _WIN32
#include "win32_window_manager.h"
#else
#include "x11_window_manager.h"
#endif

int main(int, char** argv) {
#ifdef _WIN32
  auto wm = std::make_unique<pentrax::Win32WindowManager>();
#else
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
  // tell its own window from the ones it sizes.
  qputenv("QT_QPA_PLATFORM", "xcb");
#endif
  // No command line is read.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  namespace settings = pentrax::settings;
  auto store = settings::QSettingsStore::OpenUserStore(
      settings::ApplicationName(), &settings::ReportOnStandardError);

  pentrax::ui::FrmPentrax2 window(*wm);
  settings::Form_Load(window, *store);
  window.setUnloadHandler([&] { settings::Form_Unload(window, *store); });
  QObject::connect(window.cmdRestoreDefaults, &QPushButton::clicked, &window,
                   [&] { settings::cmdRestoreDefaults_Click(window); });
  // A logout may end the program without closing its window: save then
  // too (the window may still be closed later, which saves again).
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                   [&] { settings::Form_Unload(window, *store); });
  pentrax::ui::CloseOnTerminationSignals(window);

  window.show();
  // The window manager's frame is known only once the window is shown.
  QTimer::singleShot(250, &window, [&] { settings::KeepOnScreen(window); });
  return app.exec();
}
