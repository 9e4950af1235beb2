// A Qt window for the Wayland tests (-platform wayland or xcb). On every
// change it prints "WxH FW FH TOP STATE ACTIVE": the size last offered, its
// frame's, its top (0 on Wayland, where it is not told), its state (0 normal,
// 1 maximised, 2 full screen), whether active. A line on its input asks for a
// state as its title bar would ("maximized", "fullscreen", "minimized",
// "normal"). With --cells it takes whole cells, as a terminal does.
//   pentrax_qt_window TITLE [--cells WxH]
#include <unistd.h>

#include <QGuiApplication>
#include <QRasterWindow>
#include <QResizeEvent>
#include <QSocketNotifier>
#include <cstdio>
#include <string_view>

struct Window : QRasterWindow {
  QSize cell{1, 1}, offered, taken;

  bool event(QEvent* e) override {
    const auto* r = dynamic_cast<QResizeEvent*>(e);
    if (r != nullptr && r->size() != taken) {  // not its own answer
      offered = r->size();
      taken = {offered.width() / cell.width() * cell.width(),
               offered.height() / cell.height() * cell.height()};
      if (taken != offered) resize(taken);
    }
    if (r != nullptr || e->type() == QEvent::Move ||
        e->type() == QEvent::WindowStateChange ||
        e->type() == QEvent::ActivationChange) {
      const QRect f = frameGeometry();
      const Qt::WindowStates s = windowStates();
      std::printf("%dx%d %d %d %d %d %d\n", offered.width(), offered.height(),
                  f.width(), f.height(),
                  QGuiApplication::platformName() == "xcb" ? f.top() : 0,
                  s.testFlag(Qt::WindowFullScreen)  ? 2
                  : s.testFlag(Qt::WindowMaximized) ? 1
                                                    : 0,
                  isActive() ? 1 : 0);
      std::fflush(stdout);
    }
    return QRasterWindow::event(e);
  }

  bool Ask() {  // whether there is more to read
    char line[32] = {};
    const ssize_t n = read(0, line, sizeof line - 1);
    const std::string_view asked(line, n > 0 ? static_cast<std::size_t>(n) : 0);
    if (asked.starts_with("maximized")) showMaximized();
    if (asked.starts_with("fullscreen")) showFullScreen();
    if (asked.starts_with("minimized")) showMinimized();
    if (asked.starts_with("normal")) showNormal();
    return n > 0;
  }
};

int main(int argc, char** argv) {
  const QGuiApplication app(argc, argv);
  Window w;
  if (argc > 3 && std::string_view(argv[2]) == "--cells") {
    std::sscanf(argv[3], "%dx%d", &w.cell.rwidth(), &w.cell.rheight());
  }
  w.setTitle(QString::fromUtf8(argc > 1 ? argv[1] : "pentrax"));
  w.setGeometry(600, 500, 400, 300);
  w.show();
  QSocketNotifier input(0, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated,
                   [&] { input.setEnabled(w.Ask()); });
  return QGuiApplication::exec();
}
