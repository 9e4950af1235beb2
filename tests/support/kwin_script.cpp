#include "kwin_script.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QTemporaryFile>
#include <optional>

#include "x_session.h"

namespace pentrax::testing {
namespace {

class Inbox final : public QDBusVirtualObject {
 public:
  std::optional<std::string> value;
  QString introspect(const QString&) const override {
    return "<interface name=\"org.pentrax.Test\"><method name=\"reply\">"
           "<arg type=\"s\" direction=\"in\"/></method></interface>";
  }
  bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override {
    value = m.arguments().value(0).toString().toStdString();
    c.send(m.createReply());
    return true;
  }
};

constexpr char kPrelude[] = R"js(
function send(v) {
  callDBus(SERVICE, '/PentraxTest', 'org.pentrax.Test', 'reply', JSON.stringify(v));
}
function byCaption(c) {
  var all = workspace.clientList();
  for (var i = 0; i < all.length; ++i) if (all[i].caption === c) return all[i];
  return null;
}
function describe(w) {
  if (!w) return null;
  var g = w.frameGeometry, a = workspace.clientArea(KWin.MaximizeArea, w);
  return {frame: [g.x, g.y, g.width, g.height], area: [a.x, a.y, a.width, a.height],
          active: w.active, minimized: w.minimized, fullScreen: w.fullScreen};
}
)js";

QDBusMessage CallKWin(const QString& path, const QString& interface,
                      const QString& method, const QVariantList& args) {
  auto m =
      QDBusMessage::createMethodCall("org.kde.KWin", path, interface, method);
  m.setArguments(args);
  return QDBusConnection::sessionBus().call(m, QDBus::Block, 5000);
}

}  // namespace

nlohmann::json RunKWinScript(const std::string& body) {
  static int scripts = 0;
  QDBusConnection bus = QDBusConnection::sessionBus();
  Inbox inbox;
  bus.registerVirtualObject("/PentraxTest", &inbox);
  const QString name = QString("pentrax-test-%1").arg(++scripts);
  QTemporaryFile file(QDir::tempPath() + "/pentrax-test-XXXXXX.js");
  file.open();
  file.write(("var SERVICE = '" + bus.baseService().toStdString() + "';" +
              kPrelude + body)
                 .c_str());
  file.flush();
  const QString scripting = "org.kde.kwin.Scripting";
  const auto id =
      CallKWin("/Scripting", scripting, "loadScript", {file.fileName(), name})
          .arguments()
          .value(0)
          .toInt();
  // A script number of KWin's can still be taken by one on its way out.
  if (CallKWin(QString("/Scripting/Script%1").arg(id), "org.kde.kwin.Script",
               "run", {})
          .type() != QDBusMessage::ReplyMessage) {
    CallKWin("/Scripting", scripting, "start", {});
  }
  Eventually(
      [&] {
        QCoreApplication::processEvents();
        return inbox.value.has_value();
      },
      5000);
  CallKWin("/Scripting", scripting, "unloadScript", {name});
  bus.unregisterObject("/PentraxTest");
  return inbox.value ? nlohmann::json::parse(*inbox.value) : nlohmann::json();
}

}  // namespace pentrax::testing
