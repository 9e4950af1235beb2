// Pentrax 2: sizes other programs' windows to a test resolution.
#include <QApplication>
#include <cstdio>
#include <string>

#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "ini_settings_store.h"
#include "qt_form_view.h"
#include "termination.h"

int main(int, char** argv) {
  std::string error;
  auto wm = pentrax::CreateWindowManager({}, error);
  if (!wm) {
    std::fprintf(stderr, "pentrax2: %s\n", error.c_str());
    return 2;
  }
  // The main window must live on the same X display as the windows it
  // sizes, or the program could not tell its own window from theirs.
  qputenv("QT_QPA_PLATFORM", "xcb");
  // No command line is read.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  namespace settings = pentrax::settings;
  settings::IniSettingsStore store(
      settings::IniSettingsStore::UserFilePath(settings::ApplicationName()),
      &settings::ReportOnStandardError);
  pentrax::ui::QtFormView view;
  pentrax::ui::FrmPentrax2 form(*wm, view);
  view.Bind(form);
  settings::Attach(form, store);
  pentrax::ui::CloseOnTerminationSignals(view);
  view.show();
  return app.exec();
}
