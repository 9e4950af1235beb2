// A window for the Wayland tests, on Qt's wayland or xcb platform
// (QT_QPA_PLATFORM or -platform). On every change of its size, place or
// state it prints the size it was last offered, its frame's size, its top (0
// on Wayland, where a window does not know its place) and whether it is
// maximised: "WxH FW FH TOP MAX". With --cells it takes, like a terminal, the
// largest whole number of cells that fits.
//   pentrax_qt_window TITLE [--cells WxH | --maximized]
#include <QGuiApplication>
#include <QRasterWindow>
#include <QResizeEvent>
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
      if (taken != offered) {
        resize(taken);
      }
    }
    if (r != nullptr || e->type() == QEvent::Move ||
        e->type() == QEvent::WindowStateChange) {
      const QRect f = frameGeometry();
      std::printf("%dx%d %d %d %d %d\n", offered.width(), offered.height(),
                  f.width(), f.height(),
                  QGuiApplication::platformName() == "xcb" ? f.top() : 0,
                  windowStates().testFlag(Qt::WindowMaximized) ? 1 : 0);
      std::fflush(stdout);
    }
    return QRasterWindow::event(e);
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
  std::string_view(argv[argc - 1]) == "--maximized" ? w.showMaximized()
                                                    : w.show();
  return QGuiApplication::exec();
}
