#include "gnome_session.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFileInfo>
#include <QVariantMap>
#include <optional>

#include "shell_protocol.h"
#include "utf8_cut.h"

namespace pentrax {
namespace {

constexpr int kTimeoutMs = 1000;
constexpr char kShellPath[] = "/org/gnome/Shell";
constexpr char kEnable[] = "gnome-extensions enable pentrax@pentrax.dev";

// GNOME Shell's extension states (ExtensionState in its extensionUtils).
enum State {
  kEnabled = 1,
  kDisabled = 2,
  kError = 3,
  kOutOfDate = 4,
  kInitialized = 6,  // installed, never switched on in this session
  kDisabling = 7,
  kUninstalled = 99,
};

std::optional<QVariantList> Call(const QDBusConnection& bus,
                                 const char* interface, const char* method,
                                 const QVariantList& args) {
  QDBusMessage message = QDBusMessage::createMethodCall(
      gnome::kShellService, kShellPath, interface, method);
  message.setArguments(args);
  message.setAutoStartService(false);
  const QDBusMessage reply = bus.call(message, QDBus::Block, kTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    return std::nullopt;
  }
  return reply.arguments();
}

// "GNOME Shell 50.5", or "GNOME Shell" when it does not say.
std::string ShellName(const QDBusConnection& bus) {
  const auto reply = Call(bus, "org.freedesktop.DBus.Properties", "Get",
                          {"org.gnome.Shell", "ShellVersion"});
  const QString version =
      reply && reply->size() == 1
          ? reply->at(0).value<QDBusVariant>().variant().toString()
          : QString();
  return version.isEmpty() ? "GNOME Shell"
                           : "GNOME Shell " + OneLine(version, 24);
}

}  // namespace

std::string OneLine(const QString& text, std::size_t limit) {
  QString line = text;
  for (QChar& c : line) {
    if (c.category() == QChar::Other_Control ||
        c.category() == QChar::Other_Format) {
      c = u' ';
    }
  }
  const std::string utf8 = line.simplified().toStdString();
  return utf8.substr(0, Utf8Cut(utf8, limit));
}

std::string GnomeExtensionProblem(const QDBusConnection& bus,
                                  const QString& failedWith) {
  const std::string ext = "Pentrax's GNOME extension";
  if (failedWith == QLatin1String(gnome::kAccessDenied)) {
    return ext + " answers only the pentrax2 it was installed with, not " +
           OneLine(QFileInfo("/proc/self/exe").symLinkTarget(), 200) +
           ": run that one, or install this one (then log out and in)";
  }
  const auto reply = Call(bus, "org.gnome.Shell.Extensions", "GetExtensionInfo",
                          {QString(gnome::kExtensionUuid)});
  if (!reply || reply->size() != 1) {
    return "GNOME Shell does not answer on the session bus";
  }
  const std::string shell = ShellName(bus);
  const QVariantMap info = qdbus_cast<QVariantMap>(reply->at(0));
  const int state =
      info.contains("state") ? info["state"].toInt() : kUninstalled;
  switch (state) {
    case kUninstalled:
      return ext + " (" + gnome::kExtensionUuid + ") is not installed in " +
             shell + ": install Pentrax (its package, or cmake --install), " +
             "log out and in, then run " + kEnable;
    case kDisabled:
    case kInitialized:
    case kDisabling:
      return ext + " is switched off in " + shell + ": run " + kEnable +
             " (or switch it on in the Extensions app)";
    case kError:
      return ext + " failed in " + shell + " (" +
             OneLine(info["error"].toString(), 200) +
             "): install the Pentrax made for this GNOME Shell, then log out " +
             "and in; the shell's log tells more (journalctl -b " +
             "/usr/bin/gnome-shell)";
    case kOutOfDate:
      return ext + " is out of date: " + shell +
             " does not load it. Install the Pentrax made for this GNOME " +
             "Shell (its package for this release, or cmake --install on " +
             "this machine), then log out and in";
    case kEnabled:
      return ext + " is switched on in " + shell + " but does not answer (" +
             OneLine(failedWith, 80) + "): log out and in";
    default:  // downloading, enabling
      return ext + " is not ready in " + shell + " (state " +
             std::to_string(state) + "): try again";
  }
}

}  // namespace pentrax
