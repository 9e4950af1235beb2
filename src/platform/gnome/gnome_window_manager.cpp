#include "gnome_window_manager.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <chrono>
#include <map>
#include <optional>

#include "box_rect.h"
#include "gnome_session.h"
#include "pentrax_process.h"
#include "placed_normals.h"
#include "shell_protocol.h"
#include "utf8_cut.h"

namespace pentrax {
namespace {

// How long the shell may take to answer: a reading at once, a placement
// after the client has redrawn its window (the extension gives up waiting
// for that after one second a step, and a placement has two steps).
constexpr int kReadTimeoutMs = 1000;
constexpr int kPlaceTimeoutMs = 3000;

// One reading of a window serves the calls of one action that come within
// this time of it (an action reads the work area, the placement and the
// identity one after the other); a placement request ends it.
constexpr std::chrono::milliseconds kReadingLife{5};

// What a failed call's error says did not answer: the shell (gone, or too
// busy to answer in time), or the extension (not enabled, not letting
// Pentrax in, or failing inside, with its error); empty for an answer about
// the window (it is gone).
std::string NotAnsweringFor(const QDBusMessage& reply) {
  const QString error = reply.errorName();
  static const QStringList kShell = {
      "org.freedesktop.DBus.Error.NoReply",
      "org.freedesktop.DBus.Error.Timeout",
      "org.freedesktop.DBus.Error.TimedOut",
      "org.freedesktop.DBus.Error.ServiceUnknown",
      "org.freedesktop.DBus.Error.NameHasNoOwner",
      "org.freedesktop.DBus.Error.Disconnected",
      "org.freedesktop.DBus.Error.NoServer"};
  static const QStringList kExtension = {
      "org.freedesktop.DBus.Error.UnknownObject",
      "org.freedesktop.DBus.Error.UnknownMethod",
      "org.freedesktop.DBus.Error.UnknownInterface", gnome::kAccessDenied};
  if (kShell.contains(error)) {
    return "GNOME Shell";
  }
  if (error == QLatin1String(gnome::kFailed) ||
      error.startsWith(QLatin1String("org.gnome.gjs.JSError."))) {
    return "Pentrax's GNOME extension (failing: " +
           OneLine(reply.errorMessage(), 160) + ")";
  }
  return kExtension.contains(error) ? "Pentrax's GNOME extension" : "";
}

std::string Identity(const gnome::ShellWindow& w) {
  return "pid " + std::to_string(w.pid) + ", class " + w.wmClass;
}

}  // namespace

struct GnomeWindowManager::Impl {
  QDBusConnection bus = QDBusConnection::sessionBus();
  // Windows never change their process, and handles are never reused.
  std::map<WindowHandle, std::int32_t> pids;
  PlacedNormals normals;
  // What did not answer the latest call, and its error; empty when it was
  // answered.
  std::string notAnswering;
  QString error;
  // The last reading of a window, and when it was taken.
  WindowHandle readWindow = 0;
  gnome::ShellWindow reading;
  std::chrono::steady_clock::time_point readAt;

  // The reply's arguments; nullopt on any error (the shell or the extension
  // gone, the window gone, no answer in time).
  std::optional<QVariantList> Call(const char* method, const QVariantList& args,
                                   int timeoutMs) {
    notAnswering.clear();
    error.clear();
    if (!bus.isConnected()) {
      notAnswering = "GNOME Shell";
      return std::nullopt;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        gnome::kShellService, gnome::kObjectPath, gnome::kInterface, method);
    message.setArguments(args);
    message.setAutoStartService(false);
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
      return reply.arguments();
    }
    error = reply.errorName();
    notAnswering = NotAnsweringFor(reply);
    return std::nullopt;
  }

  std::optional<gnome::ShellWindow> Window(WindowHandle window) {
    if (window <= 0) {
      return std::nullopt;
    }
    const auto now = std::chrono::steady_clock::now();
    if (window == readWindow && now - readAt < kReadingLife) {
      return reading;
    }
    readWindow = 0;
    const auto reply =
        Call("GetWindow", {QVariant::fromValue(static_cast<uint>(window))},
             kReadTimeoutMs);
    auto w = reply ? gnome::ParseWindow(*reply) : std::nullopt;
    if (w) {
      pids[window] = w->pid;
      readWindow = window;
      reading = *w;
      readAt = now;
    }
    return w;
  }

  // The work area or the whole of the window's monitor; for a window the
  // shell does not have, the primary monitor's.
  bool Area(WindowHandle window, bool whole, Rect& rect) {
    std::optional<Rect> area;
    if (const auto w = Window(window)) {
      area = whole ? w->monitor : w->workArea;
    } else if (window <= 0 || notAnswering.empty()) {
      const auto reply = Call("GetPrimaryMonitor", {}, kReadTimeoutMs);
      const auto primary =
          reply ? gnome::ParsePrimaryMonitor(*reply) : std::nullopt;
      area = primary ? (whole ? primary->second : primary->first)
                     : std::optional<Rect>();
    }
    if (!area || area->width() <= 0 || area->height() <= 0) {
      return false;
    }
    rect = *area;
    return true;
  }

  std::optional<gnome::ShellForeground> Foreground() {
    const auto reply = Call("GetForegroundWindow", {}, kReadTimeoutMs);
    return reply ? gnome::ParseForeground(*reply) : std::nullopt;
  }
};

GnomeWindowManager::GnomeWindowManager(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl)) {}

GnomeWindowManager::~GnomeWindowManager() = default;

std::unique_ptr<GnomeWindowManager> GnomeWindowManager::Connect(
    std::string* error) {
  auto impl = std::make_unique<Impl>();
  std::string reason;
  if (!impl->bus.isConnected()) {
    reason = "no D-Bus session bus: " +
             impl->bus.lastError().message().toStdString();
  } else if (!impl->Foreground()) {
    reason = GnomeExtensionProblem(impl->bus, impl->error);
  }
  if (!reason.empty()) {
    if (error != nullptr) {
      *error = reason;
    }
    return nullptr;
  }
  return std::unique_ptr<GnomeWindowManager>(
      new GnomeWindowManager(std::move(impl)));
}

WindowHandle GnomeWindowManager::GetForegroundWindow() {
  const auto f = impl_->Foreground();
  if (!f || f->window <= 0) {
    return 0;
  }
  impl_->pids[f->window] = f->pid;
  return f->window;
}

int GnomeWindowManager::GetWindowPlacement(WindowHandle window,
                                           WindowPlacement& placement) {
  const auto w = impl_->Window(window);
  if (!w) {
    return 0;
  }
  placement.length = kPlacementLength;
  placement.showCmd = w->showCmd;
  placement.rcNormalPosition =
      impl_->normals.NormalOf(window, Identity(*w), w->showCmd, w->frame);
  return 1;
}

int GnomeWindowManager::SetWindowPlacement(WindowHandle window,
                                           const WindowPlacement& placement) {
  const auto request = gnome::PlacementRequest(placement);
  if (window <= 0 || !request) {
    return 0;
  }
  const auto before = impl_->Window(window);
  if (!before) {
    return 0;
  }
  const std::string identity = Identity(*before);
  impl_->readWindow = 0;  // the window is about to change
  const auto reply =
      impl_->Call("SetPlacement",
                  {QVariant::fromValue(static_cast<uint>(window)),
                   QVariant::fromValue(static_cast<uint>(request->state)),
                   request->x, request->y, request->width, request->height},
                  kPlaceTimeoutMs);
  if (!reply) {
    return 0;
  }
  impl_->normals.Placed(window, identity, placement.rcNormalPosition);
  return 1;
}

std::string GnomeWindowManager::PlacementDetail(WindowHandle window) {
  return impl_->normals.Detail(window);
}

void GnomeWindowManager::TakePlacementDetail(WindowHandle window,
                                             std::string_view detail) {
  if (const auto w = impl_->Window(window)) {
    impl_->normals.Take(window, Identity(*w), detail);
  }
}

int GnomeWindowManager::GetWindowText(WindowHandle window, char* buffer,
                                      int maxCount) {
  const auto w = impl_->Window(window);
  return CopyTitle(w ? w->title : std::string(), buffer, maxCount);
}

bool GnomeWindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  return impl_->Area(window, false, workArea);
}

bool GnomeWindowManager::GetMonitor(WindowHandle window, Rect& monitor) {
  return impl_->Area(window, true, monitor);
}

std::optional<Insets> GnomeWindowManager::GetFrameInsets(WindowHandle window) {
  const auto w = impl_->Window(window);
  if (!w) {
    return std::nullopt;
  }
  // A client-side decorated window's client rectangle takes in its shadows
  // too: what it draws counts as content.
  return InsetsBetween(w->frame, w->client);
}

std::vector<WindowHandle> GnomeWindowManager::ListWindows() {
  const auto reply = impl_->Call("ListWindows", {}, kReadTimeoutMs);
  auto windows =
      reply ? gnome::ParseWindowList(*reply) : std::vector<WindowHandle>{};
  std::erase_if(windows,
                [this](WindowHandle w) { return IsOwnProcessWindow(w); });
  return windows;
}

std::string GnomeWindowManager::WindowIdentity(WindowHandle window) {
  const auto w = impl_->Window(window);
  return w ? Identity(*w) : std::string();
}

std::string GnomeWindowManager::NotAnswering() { return impl_->notAnswering; }

bool GnomeWindowManager::IsOwnProcessWindow(WindowHandle window) {
  auto it = impl_->pids.find(window);
  if (it == impl_->pids.end()) {
    if (!impl_->Window(window)) {
      return false;
    }
    it = impl_->pids.find(window);
  }
  return IsPentraxProcess(it->second);
}

}  // namespace pentrax
