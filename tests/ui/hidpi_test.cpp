// On a screen with two device pixels to a logical one, the main window still
// shows and limits to the real resolution, the pixels windows are sized in.
#include <gtest/gtest.h>

#include <QApplication>

#include "fake_window_manager.h"
#include "frm_pentrax2.h"

namespace pentrax::ui {
namespace {

TEST(HighDpi, CaptionShowsDevicePixels) {
  testing::FakeWindowManager wm;
  FrmPentrax2 frm(wm);
  frm.Timer1->stop();
  const QSizeF screen = FrmPentrax2::PrimaryScreenSize();
  ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
  frm.ScreenWatch();
  EXPECT_EQ(frm.ScreenWidth, 2 * qApp->primaryScreen()->size().width());
  EXPECT_EQ(frm.ScreenWidth, static_cast<int>(screen.width()));
  EXPECT_EQ(frm.Label1->text().toStdString(),
            "Your screen resolution is " + std::to_string(frm.ScreenWidth) +
                " x " + std::to_string(frm.ScreenHeight));
  frm.optRes[7]->setChecked(true);
  frm.txtBreit->setText("9999");
  frm.NormaliseInputs();
  EXPECT_EQ(frm.txtBreit->text().toInt(), frm.ScreenWidth);
}

}  // namespace
}  // namespace pentrax::ui

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
