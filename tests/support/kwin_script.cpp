#include "kwin_script.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QTemporaryFile>
#include <optional>
#include <stdexcept>

#include "x_session.h"

namespace pentrax::testing {
namespace {

struct Inbox final : QDBusVirtualObject {
  std::optional<std::string> value;
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override {
    value = m.arguments().value(0).toString().toStdString();
    return c.send(m.createReply());
  }
};

constexpr char kPrelude[] = R"js(
function send(v) {
  callDBus(SERVICE, '/test', 'org.pentrax.Test', 'reply', JSON.stringify(v));
}
function byCaption(c) {  // Plasma 6's calls where KWin has them, or 5.27's
  var all = workspace.windowList ? workspace.windowList() : workspace.clientList();
  return all.filter(function (w) { return w.caption === c; })[0] || null;
}
function activate(w) {
  workspace[workspace.activeWindow !== undefined ? 'activeWindow' : 'activeClient'] = w;
}
function rect(g) { return [g.x, g.y, g.x + g.width, g.y + g.height]; }
function describe(w) {  // maximized: null where KWin does not tell (5.27)
  return w && {frame: rect(w.frameGeometry), active: w.active, tiled: !!w.tile,
               id: String(w.internalId), minimized: !!w.minimized,
               fullScreen: !!w.fullScreen,
               maximized: typeof w.maximizeMode === 'number' ? w.maximizeMode === 3
                                                            : null};
}
function areas() {  // the active screen's work area, then all of it
  return [KWin.MaximizeArea, KWin.FullScreenArea].map(function (o) {
    return rect(workspace.clientArea(o, workspace.activeScreen, workspace.currentDesktop));
  });
}
)js";

QDBusMessage CallKWin(const QString& path, const QString& method,
                      const QVariantList& args = {}) {
  // No interface: each of these objects has one that holds the method.
  auto m = QDBusMessage::createMethodCall("org.kde.KWin", path, "", method);
  m.setArguments(args);
  return QDBusConnection::sessionBus().call(m, QDBus::Block, 5000);
}

}  // namespace

nlohmann::json RunKWinScript(const std::string& body) {
  static int scripts = 0;
  const QString name = QString("pentrax-test-%1").arg(++scripts);
  QDBusConnection bus = QDBusConnection::sessionBus();
  Inbox inbox;
  bus.registerVirtualObject("/test", &inbox);
  QTemporaryFile file(QDir::tempPath() + "/pentrax-test-XXXXXX.js");
  file.open();
  const std::string text = "var SERVICE = '" + bus.baseService().toStdString() +
                           "';" + kPrelude + body;
  file.write(text.c_str());
  file.flush();
  const QDBusMessage loaded =
      CallKWin("/Scripting", "loadScript", {file.fileName(), name});
  const int id = loaded.arguments().value(0).toInt();
  // KWin numbers scripts by count: a number can still be taken by a script
  // on its way out, and "start" runs every script not yet running.
  if (CallKWin(QString("/Scripting/Script%1").arg(id), "run").type() !=
      QDBusMessage::ReplyMessage) {
    CallKWin("/Scripting", "start");
  }
  for (int waited = 0; !inbox.value && waited < 5000; waited += 10) {
    QCoreApplication::processEvents();
    SleepMs(10);
  }
  CallKWin("/Scripting", "unloadScript", {name});
  bus.unregisterObject("/test");
  if (!inbox.value) {
    throw std::runtime_error("the KWin script sent nothing within 5 s");
  }
  return nlohmann::json::parse(*inbox.value);
}

}  // namespace pentrax::testing
