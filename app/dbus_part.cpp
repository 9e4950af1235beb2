// pentrax2's D-Bus part (libpentrax2-dbus.so): the commands and --help where
// the backend talks D-Bus (KWin, GNOME), in a QCoreApplication, with Qt Core
// and Qt D-Bus alone.
#include <QCoreApplication>

#include "factory.h"
#include "program.h"

PENTRAX_PART_ENTRY int pentrax2_dbus_main(const char* version, int argc,
                                          char** argv) {
  const auto o = pentrax::app::PartOptions(version, argc, argv);
  if (!o) {
    return pentrax::cli::kUsage;
  }
  int qtArgc = 1;
  const QCoreApplication core(qtArgc, argv);  // for the session bus
  return o->help ? pentrax::app::Help() : pentrax::app::RunCommand(*o);
}
