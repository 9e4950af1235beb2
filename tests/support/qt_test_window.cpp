// A Qt top-level window for the tests on Wayland compositors, native or
// through XWayland as QT_QPA_PLATFORM says: the title and size a test asks
// for, and nothing else.
//
//   pentrax_qt_test_window TITLE [WxH]
#include <QApplication>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  int width = 400;
  int height = 300;
  if (argc > 2) {
    std::sscanf(argv[2], "%dx%d", &width, &height);
  }
  window.setWindowTitle(QString::fromUtf8(argc > 1 ? argv[1] : "pentrax"));
  window.resize(width, height);
  window.show();
  return QApplication::exec();
}
