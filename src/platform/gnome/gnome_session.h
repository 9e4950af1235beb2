// Why Pentrax's GNOME Shell extension does not answer in this GNOME session,
// as GNOME Shell tells it (org.gnome.Shell.Extensions.GetExtensionInfo and
// the ShellVersion property of org.gnome.Shell), for the user: not
// installed, switched off, failed, out of date for this shell, or refusing
// this program; with the shell's version and what to do.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <cstddef>
#include <string>

namespace pentrax {

// A call to the extension failed with the D-Bus error `failedWith`: one
// sentence that says why and what to do, without a full stop.
std::string GnomeExtensionProblem(const QDBusConnection& bus,
                                  const QString& failedWith);

// Text that came from outside (a shell's error, a version), fit for one line
// of a report: control and format characters blanked, at most `limit` bytes.
std::string OneLine(const QString& text, std::size_t limit);

}  // namespace pentrax
