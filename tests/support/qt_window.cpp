// A window for the Wayland tests, on Qt's wayland or xcb platform
// (QT_QPA_PLATFORM or -platform). On every change of its size, place or
// state it prints the size it was last offered, its frame's size, its top (0
// on Wayland, where a window does not know its place) and whether it is
// maximised: "WxH FW FH TOP MAX". With --cells it takes, like a terminal, the
// largest whole number of cells that fits.
//   pentrax_qt_window TITLE [--maximized] [--cells WxH]
#include <QGuiApplication>
#include <QRasterWindow>
#include <QResizeEvent>
#include <cstdio>
#include <string_view>

struct Window : QRasterWindow {
  QSize cell{1, 1}, offered, taken;

  bool event(QEvent* e) override {
    const QEvent::Type t = e->type();
    if (t == QEvent::Resize) {
      const QSize s = static_cast<QResizeEvent*>(e)->size();
      if (s == taken) {
        return QRasterWindow::event(e);  // its own answer
      }
      offered = s;
      taken = QSize(s.width() / cell.width() * cell.width(),
                    s.height() / cell.height() * cell.height());
      if (taken != s) {
        resize(taken);
      }
    }
    if (t == QEvent::Resize || t == QEvent::Move ||
        t == QEvent::WindowStateChange) {
      const QRect f = frameGeometry();
      const bool x11 = QGuiApplication::platformName() == "xcb";
      std::printf("%dx%d %d %d %d %d\n", offered.width(), offered.height(),
                  f.width(), f.height(), x11 ? f.top() : 0,
                  windowStates().testFlag(Qt::WindowMaximized) ? 1 : 0);
      std::fflush(stdout);
    }
    return QRasterWindow::event(e);
  }
};

int main(int argc, char** argv) {
  const QGuiApplication app(argc, argv);
  Window w;
  bool maximized = false;
  for (int i = 2; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--maximized") {
      maximized = true;
    } else if (i + 1 < argc && std::string_view(argv[i]) == "--cells") {
      std::sscanf(argv[++i], "%dx%d", &w.cell.rwidth(), &w.cell.rheight());
    }
  }
  w.setTitle(QString::fromUtf8(argc > 1 ? argv[1] : "pentrax"));
  w.setGeometry(600, 500, 400, 300);
  maximized ? w.showMaximized() : w.show();
  return QGuiApplication::exec();
}
