// Pentrax 2: sizes other programs' windows to a test resolution, from its
// window or from the command line.
//
// The executable has no Qt: it carries out the commands on X11 and sway
// itself, and loads one of its two parts for the rest: the window
// (libpentrax2-window.so: Qt Widgets, every backend) and the commands and
// --help where the backend talks D-Bus (libpentrax2-dbus.so: Qt Core and Qt
// D-Bus; KDE Plasma's and GNOME's Wayland sessions, --backend kwin|gnome).
// A part is loaded by an absolute path derived from the executable's own
// (/proc/self/exe), never through a search path.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "factory.h"
#include "pentrax_version.h"
#include "program.h"

namespace {

namespace app = pentrax::app;
namespace cli = pentrax::cli;

// The part's file: beside the executable (a build tree), else in the
// executable's private folder (installed: PENTRAX_PARTS_FOLDER, relative to
// the folder of the executable).
std::filesystem::path PartPath(const char* file, std::string& error) {
  std::error_code e;
  const std::filesystem::path self =
      std::filesystem::read_symlink("/proc/self/exe", e);
  if (e) {
    error =
        "cannot tell where it is installed (/proc/self/exe: " + e.message() +
        ")";
    return {};
  }
  const std::filesystem::path beside = self.parent_path() / file;
  return std::filesystem::exists(beside, e)
             ? beside
             : (self.parent_path() / PENTRAX_PARTS_FOLDER / file)
                   .lexically_normal();
}

int RunPart(const char* file, const char* entry, const cli::Options& o,
            int argc, char** argv) {
  std::string error;
  const std::filesystem::path path = PartPath(file, error);
  app::PartEntry run = nullptr;
  if (!path.empty()) {
    void* part = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    run = part != nullptr ? reinterpret_cast<app::PartEntry>(dlsym(part, entry))
                          : nullptr;
    if (run == nullptr) {
      const char* why = dlerror();  // names the file
      error = std::string("cannot load its part: ") +
              (why != nullptr ? why : path.c_str()) +
              " (install pentrax2 again)";
    }
  }
  if (run == nullptr) {
    if (o.json && o.command != cli::Command::kWindow) {
      std::fputs(cli::FailureAnswer(&o, error).c_str(), stdout);
    }
    return app::Fail(error);
  }
  return run(PENTRAX_VERSION_TEXT, argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed =
      cli::Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) {
    if (parsed.json) {
      std::fputs(cli::FailureAnswer(nullptr, parsed.error).c_str(), stdout);
    }
    return app::Fail(parsed.error);
  }
  const cli::Options& o = *parsed.options;
  if (o.version) {
    std::printf("pentrax2 %s\n", PENTRAX_VERSION_TEXT);
    return 0;
  }
  if (o.help) {
    return pentrax::NeedsSessionBus("")
               ? RunPart(PENTRAX_DBUS_PART, app::kDBusEntry, o, argc, argv)
               : app::Help();
  }
  if (const std::string error = pentrax::UnknownBackend(o.backend);
      !error.empty()) {
    if (o.json) {
      std::fputs(cli::FailureAnswer(nullptr, error).c_str(), stdout);
    }
    return app::Fail(error);
  }
  if (o.command == cli::Command::kWindow) {
    return RunPart(PENTRAX_WINDOW_PART, app::kWindowEntry, o, argc, argv);
  }
  return pentrax::NeedsSessionBus(o.backend)
             ? RunPart(PENTRAX_DBUS_PART, app::kDBusEntry, o, argc, argv)
             : app::RunCommand(o);
}
