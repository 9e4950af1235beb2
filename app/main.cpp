// Pentrax 2: sizes other programs' windows to a test resolution.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <string>

#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "ini_settings_store.h"
#include "pentrax_version.h"
#include "qt_form_view.h"
#include "termination.h"

namespace {

namespace settings = pentrax::settings;

int Fail(const std::string& why) {
  std::fprintf(stderr, "pentrax2: %s\n", why.c_str());
  return 2;
}

// "sway, kwin, gnome or x11"
std::string BackendList() {
  std::string list;
  const auto names = pentrax::BackendNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    list += std::string(i == 0                 ? ""
                        : i + 1 < names.size() ? ", "
                                               : " or ") +
            std::string(names[i]);
  }
  return list;
}

std::string Usage() {
  const pentrax::SessionBackend session = pentrax::ChooseBackend();
  return "Usage: pentrax2 [--backend NAME]\n"
         "Sizes other programs' windows to a test resolution: pick a size,\n"
         "press the sizing button, then activate the window to size. The\n"
         "restore button puts a sized window back.\n\n"
         "  --backend NAME  size windows through NAME: " +
         BackendList() +
         "\n"
         "                  (without it, this session would get: " +
         session.name +
         ")\n"
         "  -h, --help      show this text\n"
         "  --version       show the version\n\n" +
         (session.note.empty() ? "" : session.note + "\n\n") + "Settings: " +
         settings::IniSettingsStore::UserFilePath(settings::ApplicationName()) +
         "\n";
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  // Parsed before any application object exists: --help and --version need
  // no display.
  QCommandLineParser parser;
  const QCommandLineOption help({"h", "help"}, "");
  const QCommandLineOption version("version", "");
  const QCommandLineOption backendOption("backend", "", "name");
  parser.addOptions({help, version, backendOption});
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  if (!parser.parse(arguments)) {
    std::string why = parser.errorText().toStdString();
    if (why.ends_with('.')) {
      why.pop_back();
    }
    return Fail(why + "; see --help");
  }
  if (!parser.positionalArguments().isEmpty()) {
    return Fail("unexpected argument '" +
                parser.positionalArguments().first().toStdString() +
                "'; see --help");
  }
  if (parser.isSet(version)) {
    std::printf("pentrax2 %s\n", PENTRAX_VERSION_TEXT);
    return 0;
  }
  int qtArgc = 1;
  if (parser.isSet(help)) {
    const QCoreApplication core(qtArgc, argv);  // for the session bus
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  const std::string forced = parser.value(backendOption).toStdString();
  const auto names = pentrax::BackendNames();
  if (parser.isSet(backendOption) &&
      std::find(names.begin(), names.end(), forced) == names.end()) {
    return Fail("no backend \"" + forced + "\": choose " + BackendList());
  }

  // The main window is an X client wherever Pentrax runs (through XWayland
  // on Wayland), so that its place can be stored and restored: without an X
  // display there is nothing to show.
  std::string error;
  auto x11 = pentrax::CreateWindowManager("x11", error);
  if (!x11) {
    return Fail(error);
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(qtArgc, argv);
  const pentrax::SessionBackend session =
      forced.empty() ? pentrax::ChooseBackend()
                     : pentrax::SessionBackend{forced, ""};
  std::unique_ptr<pentrax::WindowManager> wm =
      session.name == "x11" ? std::move(x11)
                            : pentrax::CreateWindowManager(session.name, error);
  if (!wm) {
    return Fail("backend " + session.name + ": " + error);
  }
  x11.reset();

  settings::IniSettingsStore store(
      settings::IniSettingsStore::UserFilePath(settings::ApplicationName()),
      &settings::ReportOnStandardError);
  pentrax::ui::QtFormView view;
  pentrax::ui::FrmPentrax2 form(*wm, view);
  view.Bind(form);
  settings::Attach(form, store);
  if (!session.note.empty()) {
    form.SetText(pentrax::ui::kTxtResult, session.note);
  }
  pentrax::ui::CloseOnTerminationSignals(view);
  view.show();
  return app.exec();
}
