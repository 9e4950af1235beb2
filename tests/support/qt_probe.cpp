// A window that prints what it was given on every change: its outer size, its
// top (0 on Wayland, where a window does not know its place) and whether it is
// maximised. pentrax_qt_probe -platform wayland|xcb TITLE [--maximized]
#include <QGuiApplication>
#include <QRasterWindow>
#include <cstdio>

struct Probe : QRasterWindow {
  bool event(QEvent* e) override {
    const QEvent::Type t = e->type();
    if (t == QEvent::Resize || t == QEvent::Move ||
        t == QEvent::WindowStateChange) {
      const QRect f = frameGeometry();
      const bool x11 = QGuiApplication::platformName() == "xcb";
      std::printf("%d %d %d %d\n", f.width(), f.height(), x11 ? f.top() : 0,
                  windowStates().testFlag(Qt::WindowMaximized) ? 1 : 0);
      std::fflush(stdout);
    }
    return QRasterWindow::event(e);
  }
};

int main(int argc, char** argv) {
  const QGuiApplication app(argc, argv);
  Probe w;
  w.setTitle(QString::fromUtf8(argc > 1 ? argv[1] : ""));
  w.setGeometry(600, 500, 400, 300);
  argc > 2 ? w.showMaximized() : w.show();
  return QGuiApplication::exec();
}
