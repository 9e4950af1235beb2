// A window for the sway tests, on Qt's wayland or xcb platform. It prints
// each size it is offered; with --cells it takes, like a terminal, the
// largest whole number of cells that fits.
//   pentrax_wayland_test_window TITLE [--cells WxH]
#include <QApplication>
#include <QResizeEvent>
#include <QWidget>
#include <cstdio>

class Window : public QWidget {
 public:
  QSize cell{1, 1};

 protected:
  void resizeEvent(QResizeEvent* e) override {
    const QSize s = e->size();
    if (s == taken_) {
      return;  // its own answer
    }
    std::printf("%dx%d\n", s.width(), s.height());
    std::fflush(stdout);
    taken_ = QSize(s.width() / cell.width() * cell.width(),
                   s.height() / cell.height() * cell.height());
    if (taken_ != s) {
      resize(taken_);
    }
  }

 private:
  QSize taken_;
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Window w;
  if (argc > 3) {
    std::sscanf(argv[3], "%dx%d", &w.cell.rwidth(), &w.cell.rheight());
  }
  w.setWindowTitle(QString::fromUtf8(argc > 1 ? argv[1] : "pentrax"));
  w.show();
  return app.exec();
}
