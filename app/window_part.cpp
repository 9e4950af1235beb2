// pentrax2's window part (libpentrax2-window.so): the main window, drawn
// with Qt Widgets, with every backend.
#include <QApplication>

#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "ini_settings_store.h"
#include "program.h"
#include "qt_form_view.h"
#include "termination.h"

PENTRAX_PART_ENTRY int pentrax2_window_main(const char* version, int argc,
                                            char** argv) {
  namespace app = pentrax::app;
  namespace settings = pentrax::settings;
  const auto o = app::PartOptions(version, argc, argv);
  if (!o) {
    return pentrax::cli::kUsage;
  }
  // The main window is an X client wherever Pentrax runs (through XWayland
  // on Wayland), so that its place can be stored and restored: without an X
  // display there is nothing to show.
  std::string error;
  auto x11 = pentrax::CreateWindowManager("x11", error);
  if (!x11) {
    return app::Fail(error);
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  int qtArgc = 1;
  QApplication qt(qtArgc, argv);
  pentrax::SessionBackend session =
      o->backend.empty() ? pentrax::ChooseBackend()
                         : pentrax::SessionBackend{o->backend, "", nullptr};
  std::unique_ptr<pentrax::WindowManager> wm =
      session.name == "x11" ? std::move(x11)
                            : pentrax::CreateWindowManager(session, error);
  if (!wm) {
    return app::Fail("backend " + session.name + ": " + error);
  }
  x11.reset();

  settings::IniSettingsStore store(app::SettingsPath(),
                                   &settings::ReportOnStandardError);
  const auto placements = app::Placements(session.name, *wm);
  pentrax::ui::QtFormView view;
  pentrax::ui::FrmPentrax2 form(*wm, view);
  form.cycle.UseStore(*placements);
  view.Bind(form);
  settings::Attach(form, store);
  if (!session.note.empty()) {
    form.SetText(pentrax::ui::kTxtResult, session.note);
  }
  pentrax::ui::CloseOnTerminationSignals(view);
  view.show();
  return qt.exec();
}
