#include "kwin_channel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QDir>
#include <QTemporaryFile>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

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

// The backend's object on the bus, where the agent's asks arrive: on a
// thread of its own, so that an ask is taken as soon as it comes and the
// backend waits for it without running any other event of the program. Each
// ask is held, unanswered, until the next request.
class Mailbox final : public QDBusVirtualObject {
 public:
  // From now on takes the asks of this agent (empty: none; any other agent
  // is told to stop), run by KWin's connection kwin (empty: the same).
  void Expect(const QString& agent, const QString& kwin = {}) {
    const std::lock_guard lock(mutex_);
    agent_ = agent;
    kwin_ = kwin.isEmpty() ? kwin_ : kwin;
    answer_.reset();
  }
  QString agent() const {
    const std::lock_guard lock(mutex_);
    return agent_;
  }
  // Whether an ask is held that KWin has not given up on yet.
  bool AskHeld() const {
    const std::lock_guard lock(mutex_);
    return ask_.type() == QDBusMessage::MethodCallMessage &&
           Clock::now() - askedAt_ <= kAskLifetime;
  }
  // The ask held, taken to be answered; the answer it came with is let go.
  QDBusMessage TakeAsk() {
    const std::lock_guard lock(mutex_);
    answer_.reset();
    return std::exchange(ask_, QDBusMessage());
  }
  // The answer that comes with the agent's next ask, or nullopt when none
  // has come by the deadline.
  std::optional<QString> WaitForAnswer(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    asked_.wait_until(lock, deadline, [&] { return answer_.has_value(); });
    return answer_;
  }

  QString introspect(const QString&) const override {
    return QStringLiteral(
        "<interface name=\"org.pentrax.KWinAgent\"><method name=\"next\">"
        "<arg type=\"s\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
        "<arg type=\"s\" direction=\"out\"/></method></interface>");
  }

  bool handleMessage(const QDBusMessage& message,
                     const QDBusConnection& connection) override {
    const std::lock_guard lock(mutex_);
    // Only the KWin that runs the agent may hand in answers: any other
    // program of the session could guess the agent's name.
    if (kwin_.isEmpty() || message.service() != kwin_) {
      connection.send(message.createErrorReply(
          QDBusError::AccessDenied, QStringLiteral("only KWin may call this")));
      return true;
    }
    const QList<QVariant> args = message.arguments();
    if (message.member() != QLatin1String("next") || args.size() != 2) {
      return false;
    }
    if (args[0].toString() != agent_) {  // an agent from before: let it end
      connection.send(
          message.createReply(QString::fromLatin1(kAgentStopRequest)));
      return true;
    }
    message.setDelayedReply(true);
    ask_ = message;
    askedAt_ = Clock::now();
    answer_ =
        args[1].toString().size() <= kLongestAnswer
            ? args[1].toString()
            : QStringLiteral("{\"error\":\"an answer beyond any window's\"}");
    asked_.notify_all();
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable asked_;
  QString kwin_;   // KWin's connection to the bus, which runs the agent
  QString agent_;  // the agent whose asks are taken
  QDBusMessage ask_;
  Clock::time_point askedAt_;
  std::optional<QString> answer_;  // what came with the latest ask
};

}  // namespace

struct KWinChannel::Impl {
  QString connectionName;
  QDBusConnection bus;
  Mailbox mailbox;
  QThread mailboxThread;
  int agentsStarted = 0;

  explicit Impl(const QString& name)
      : connectionName(name),
        bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {
    mailbox.moveToThread(&mailboxThread);
    mailboxThread.start();
  }

  ~Impl() {
    StopAgent();
    bus.unregisterObject(kObjectPath);
    mailboxThread.quit();
    mailboxThread.wait();
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

  bool StartAgent(std::string* error) {
    StopAgent();
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(kKWin);
    if (!owner.isValid()) {
      *error = "KWin is not on the session bus";
      return false;
    }
    const QString agent = QStringLiteral("pentrax-%1-%2")
                              .arg(QCoreApplication::applicationPid())
                              .arg(++agentsStarted);
    mailbox.Expect(agent, owner.value());
    QTemporaryFile file(QDir::tempPath() + "/pentrax-kwin-XXXXXX.js");
    const std::string script =
        AgentScript({bus.baseService().toStdString(), kObjectPath.toStdString(),
                     kInterface.toStdString(), agent.toStdString()});
    if (!file.open() ||
        file.write(script.data(), static_cast<qint64>(script.size())) < 0 ||
        !file.flush()) {
      *error =
          "cannot write the KWin script to " + QDir::tempPath().toStdString();
      mailbox.Expect({});
      return false;
    }
    const QDBusMessage loaded =
        CallKWin(QStringLiteral("loadScript"), {file.fileName(), agent});
    const int id = loaded.arguments().value(0).toInt();
    if (loaded.type() != QDBusMessage::ReplyMessage || id < 0) {
      *error = "KWin's scripting does not answer on the session bus: " +
               loaded.errorMessage().toStdString();
      mailbox.Expect({});
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
    if (!mailbox.WaitForAnswer(Clock::now() + kAnswerDeadline)) {
      *error = "KWin did not run the script";
      StopAgent();
      return false;
    }
    return true;
  }

  void StopAgent() {
    if (const QDBusMessage ask = mailbox.TakeAsk();
        ask.type() == QDBusMessage::MethodCallMessage) {
      bus.send(ask.createReply(QString::fromLatin1(kAgentStopRequest)));
    }
    if (const QString agent = mailbox.agent(); !agent.isEmpty()) {
      CallKWin(QStringLiteral("unloadScript"), {agent});
    }
    mailbox.Expect({});
  }

  std::optional<std::string> Ask(const std::string& request) {
    // A second round when the agent turns out to be gone (KWin restarted).
    for (int round = 0; round < 2; ++round) {
      if (!mailbox.AskHeld()) {
        std::string ignored;
        if (!StartAgent(&ignored)) {
          return std::nullopt;
        }
      }
      bus.send(mailbox.TakeAsk().createReply(QString::fromStdString(request)));
      // KWin takes calls in turn: by the time it answers this one, the agent
      // has carried out the request and asked again.
      const QDBusMessage loaded =
          CallKWin(QStringLiteral("isScriptLoaded"), {mailbox.agent()});
      if (loaded.type() != QDBusMessage::ReplyMessage) {
        StopAgent();  // KWin is gone
        return std::nullopt;
      }
      if (!loaded.arguments().value(0).toBool()) {
        mailbox.Expect({});
        continue;
      }
      if (const auto answer =
              mailbox.WaitForAnswer(Clock::now() + kAnswerDeadline)) {
        return answer->toStdString();
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
