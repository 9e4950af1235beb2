#include "termination.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

namespace pentrax::ui {
namespace {

int g_signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the rest happens in the event loop.
void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window) {
  if (g_signalPipe[0] >= 0 ||
      socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
    return;
  }
  auto* notifier =
      new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte;
    [[maybe_unused]] const ssize_t n = read(g_signalPipe[0], &byte, 1);
    window.close();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
    sigaction(sig, &action, nullptr);
  }
}

}  // namespace pentrax::ui
