#include "kwin_channel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QDir>
#include <QTemporaryFile>
#include <atomic>
#include <chrono>
#include <thread>

#include "kwin_agent_script.h"

namespace pentrax {
namespace {

using Clock = std::chrono::steady_clock;

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kObjectPath = QStringLiteral("/org/pentrax/KWinAgent");
const QString kInterface = QStringLiteral("org.pentrax.KWinAgent");

constexpr int kCallTimeoutMs = 1000;
constexpr auto kAnswerDeadline = std::chrono::milliseconds(1000);
// KWin gives up on a call whose reply has not come within 25 s: an older ask
// is not answered but replaced by a new agent.
constexpr auto kAskLifetime = std::chrono::seconds(20);
// An answer describes one window or a work area: a few hundred characters.
constexpr qsizetype kLongestAnswer = 64 * 1024;

// The backend's object on the bus, where the agent's asks arrive. Each ask
// is held, unanswered, until the next request.
class Mailbox final : public QDBusVirtualObject {
 public:
  QString kwin;   // KWin's connection to the bus, which runs the agent
  QString agent;  // the agent whose asks are taken
  QDBusMessage ask;
  Clock::time_point askedAt;
  std::optional<QString> answer;  // what came with the latest ask

  QString introspect(const QString&) const override {
    return QStringLiteral(
        "<interface name=\"org.pentrax.KWinAgent\"><method name=\"next\">"
        "<arg type=\"s\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
        "<arg type=\"s\" direction=\"out\"/></method></interface>");
  }

  bool handleMessage(const QDBusMessage& message,
                     const QDBusConnection& connection) override {
    // Only the KWin that runs the agent may hand in answers: any other
    // program of the session could guess the agent's name.
    if (kwin.isEmpty() || message.service() != kwin) {
      connection.send(message.createErrorReply(
          QDBusError::AccessDenied, QStringLiteral("only KWin may call this")));
      return true;
    }
    const QList<QVariant> args = message.arguments();
    if (message.member() != QLatin1String("next") || args.size() != 2) {
      return false;
    }
    if (args[0].toString() != agent) {  // an agent from before: let it end
      connection.send(
          message.createReply(QString::fromLatin1(kAgentStopRequest)));
      return true;
    }
    message.setDelayedReply(true);
    ask = message;
    askedAt = Clock::now();
    answer =
        args[1].toString().size() <= kLongestAnswer
            ? args[1].toString()
            : QStringLiteral("{\"error\":\"an answer beyond any window's\"}");
    return true;
  }
};

}  // namespace

struct KWinChannel::Impl {
  QString connectionName;
  QDBusConnection bus;
  Mailbox mailbox;
  int agentsStarted = 0;

  explicit Impl(const QString& name)
      : connectionName(name),
        bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {}

  ~Impl() {
    StopAgent();
    bus.unregisterObject(kObjectPath);
    QDBusConnection::disconnectFromBus(connectionName);
  }

  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  QDBusMessage CallKWin(const QString& method, const QVariantList& args,
                        const QString& path = kScripting,
                        const QString& interface = kScriptingInterface) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kKWin, path, interface, method);
    call.setArguments(args);
    return bus.call(call, QDBus::Block, kCallTimeoutMs);
  }

  bool AskHeld() const {
    return mailbox.ask.type() == QDBusMessage::MethodCallMessage;
  }

  // Delivers the asks that have arrived, and only them, until the agent has
  // asked again or the deadline has passed.
  bool WaitForAsk(Clock::time_point deadline) {
    for (;;) {
      QCoreApplication::sendPostedEvents(&mailbox, 0);
      if (mailbox.answer) {
        return true;
      }
      if (Clock::now() >= deadline) {
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  bool StartAgent(std::string* error) {
    StopAgent();
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(kKWin);
    if (!owner.isValid()) {
      *error = "KWin is not on the session bus";
      return false;
    }
    mailbox.kwin = owner.value();
    mailbox.agent = QStringLiteral("pentrax-%1-%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(++agentsStarted);
    QTemporaryFile file(QDir::tempPath() + "/pentrax-kwin-XXXXXX.js");
    const std::string script =
        AgentScript({bus.baseService().toStdString(), kObjectPath.toStdString(),
                     kInterface.toStdString(), mailbox.agent.toStdString()});
    if (!file.open() ||
        file.write(script.data(), static_cast<qint64>(script.size())) < 0 ||
        !file.flush()) {
      *error =
          "cannot write the KWin script to " + QDir::tempPath().toStdString();
      mailbox.agent.clear();
      return false;
    }
    const QDBusMessage loaded = CallKWin(QStringLiteral("loadScript"),
                                         {file.fileName(), mailbox.agent});
    const int id = loaded.arguments().value(0).toInt();
    if (loaded.type() != QDBusMessage::ReplyMessage || id < 0) {
      *error = "KWin's scripting does not answer on the session bus: " +
               loaded.errorMessage().toStdString();
      mailbox.agent.clear();
      return false;
    }
    // KWin numbers its scripts by their count, so a number can still belong
    // to a script on its way out, and then the new script has no object to
    // run it by: "start" runs every script that is loaded but not running.
    const QDBusMessage run = CallKWin(
        QStringLiteral("run"), {}, kScripting + "/Script" + QString::number(id),
        QStringLiteral("org.kde.kwin.Script"));
    if (run.type() != QDBusMessage::ReplyMessage) {
      CallKWin(QStringLiteral("start"), {});
    }
    // The file must stay until KWin has read it: until the agent has asked.
    if (!WaitForAsk(Clock::now() + kAnswerDeadline)) {
      *error = "KWin did not run the script";
      StopAgent();
      return false;
    }
    return true;
  }

  void StopAgent() {
    if (AskHeld()) {
      bus.send(mailbox.ask.createReply(QString::fromLatin1(kAgentStopRequest)));
      mailbox.ask = QDBusMessage();
    }
    if (!mailbox.agent.isEmpty()) {
      CallKWin(QStringLiteral("unloadScript"), {mailbox.agent});
      mailbox.agent.clear();
    }
    mailbox.answer.reset();
  }

  std::optional<std::string> Ask(const std::string& request) {
    // A second round when the agent turns out to be gone (KWin restarted).
    for (int round = 0; round < 2; ++round) {
      if (!AskHeld() || Clock::now() - mailbox.askedAt > kAskLifetime) {
        std::string ignored;
        if (!StartAgent(&ignored)) {
          return std::nullopt;
        }
      }
      mailbox.answer.reset();
      bus.send(mailbox.ask.createReply(QString::fromStdString(request)));
      mailbox.ask = QDBusMessage();
      // KWin takes calls in turn: by the time it answers this one, the agent
      // has carried out the request and asked again.
      const QDBusMessage loaded =
          CallKWin(QStringLiteral("isScriptLoaded"), {mailbox.agent});
      if (loaded.type() != QDBusMessage::ReplyMessage) {
        StopAgent();  // KWin is gone
        return std::nullopt;
      }
      if (!loaded.arguments().value(0).toBool()) {
        mailbox.agent.clear();
        continue;
      }
      if (WaitForAsk(Clock::now() + kAnswerDeadline)) {
        return mailbox.answer->toStdString();
      }
      StopAgent();
      return std::nullopt;
    }
    return std::nullopt;
  }
};

KWinChannel::KWinChannel(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

KWinChannel::~KWinChannel() = default;

std::unique_ptr<KWinChannel> KWinChannel::Open(std::string* error) {
  if (QCoreApplication::instance() == nullptr) {
    *error = "the KWin backend needs a QCoreApplication";
    return nullptr;
  }
  static std::atomic<int> opened{0};
  auto impl =
      std::make_unique<Impl>(QStringLiteral("pentrax-kwin-%1").arg(++opened));
  if (!impl->bus.isConnected()) {
    *error = "no D-Bus session bus: " +
             impl->bus.lastError().message().toStdString();
    return nullptr;
  }
  if (!impl->bus.registerVirtualObject(kObjectPath, &impl->mailbox)) {
    *error = "cannot offer an object on the session bus";
    return nullptr;
  }
  if (!impl->StartAgent(error)) {
    return nullptr;
  }
  return std::unique_ptr<KWinChannel>(new KWinChannel(std::move(impl)));
}

std::optional<std::string> KWinChannel::Ask(const std::string& request) {
  return impl_->Ask(request);
}

}  // namespace pentrax
