// A Qt window for the tests on Wayland compositors, native or through
// XWayland as QT_QPA_PLATFORM says, with the title a test asks for.
//   pentrax_qt_test_window TITLE
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QString::fromUtf8(argc > 1 ? argv[1] : "pentrax"));
  window.resize(400, 300);
  window.show();
  return QApplication::exec();
}
