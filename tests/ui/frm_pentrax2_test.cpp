// The main window's handlers on Qt's offscreen platform, with the fake window
// manager and a screen size of the test's choosing.
#include "frm_pentrax2.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <memory>

#include "fake_window_manager.h"

namespace pentrax::ui {
namespace {

using testing::FakeWindowManager;

class FrmTest : public ::testing::Test {
 protected:
  FakeWindowManager wm;
  QSizeF screen{1280, 1024};
  std::unique_ptr<FrmPentrax2> frm;

  void SetUp() override {
    frm = std::make_unique<FrmPentrax2>(wm, [this] { return screen; });
    frm->Timer1->stop();  // the tests tick by hand
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    wm.Add(kOther, {100, 50, 400, 250}, "Other");
    wm.foreground = frm->OwnWindow();
  }

  static constexpr WindowHandle kOther = 4242;

  bool Enabled(int preset) const { return frm->optRes[preset]->isEnabled(); }
  int Selected() const {
    for (int i = 0; i < 8; ++i) {
      if (frm->optRes[i]->isChecked()) return i;
    }
    return -1;
  }
};

TEST_F(FrmTest, StartsInTheStateOfTheLayout) {
  EXPECT_EQ(frm->windowTitle(), "Pentrax 2");
  EXPECT_EQ(frm->size(), QSize(353, 385));
  EXPECT_FALSE(frm->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(frm->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(frm->Label1->text(), "Your screen resolution is:");
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(frm->SelectedPreset, 0);
  EXPECT_FALSE(Enabled(6));
  EXPECT_FALSE(frm->txtBreit->isEnabled());
  EXPECT_FALSE(frm->txtHoch->isEnabled());
  EXPECT_EQ(frm->txtBreit->text(), "1200");
  EXPECT_EQ(frm->txtHoch->text(), "900");
  EXPECT_EQ(frm->chkBorder->value(), 1);
  EXPECT_EQ(frm->txtBorder->text(), "3");
  EXPECT_EQ(frm->chkTask->value(), 1);
  EXPECT_TRUE(frm->optTask[0]->isChecked());
  EXPECT_EQ(frm->txtTask->text(), "28");
  EXPECT_EQ(frm->chkGo->value(), 0);
  EXPECT_EQ(frm->chkBack->value(), 0);
  EXPECT_EQ(frm->resultText(), "Result\r\n");
  EXPECT_TRUE(frm->txtResult->isReadOnly());
  EXPECT_EQ(frm->chkGo->geometry(), QRect(8, 272, 337, 33));
  EXPECT_EQ(frm->txtBreit->geometry(), QRect(216, 64, 49, 19));
  EXPECT_EQ(frm->chkGo->font().family(), "Arial");
  EXPECT_TRUE(frm->chkGo->font().bold() && frm->chkGo->font().underline());
  EXPECT_EQ(frm->chkGo->palette().color(QPalette::ButtonText),
            QColor(9, 106, 0));
  EXPECT_EQ(frm->chkBack->toolTip(),
            "This only works for windows you have resized since this program "
            "was started");
  EXPECT_EQ(frm->Timer1->interval(), 100);
  EXPECT_FALSE(frm->Timer2->isActive());
  for (NumberBox* box :
       {frm->txtBreit, frm->txtHoch, frm->txtBorder, frm->txtTask}) {
    EXPECT_EQ(box->maxLength(), 5);
  }
}

TEST_F(FrmTest, TabOrderFollowsTheTable) {
  const QList<QWidget*> expected = {
      frm->txtBreit, frm->txtHoch,    frm->chkBorder,  frm->txtBorder,
      frm->chkTask,  frm->optTask[0], frm->optTask[1], frm->txtTask,
      frm->chkGo,    frm->chkBack,    frm->txtResult,  frm->cmdRestoreDefaults,
      frm->cmdHelp};
  QWidget* w = frm->optRes[7];
  for (QWidget* next : expected) {
    w = w->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
    EXPECT_EQ(w, next) << w->objectName().toStdString() << " instead of "
                       << next->objectName().toStdString();
    w = next;
  }
}

TEST_F(FrmTest, EachOptionGroupIsOneTabStopWithArrowsInside) {
  frm->optRes[1]->setChecked(true);
  frm->optRes[1]->setFocus(Qt::TabFocusReason);
  QTest::keyClick(frm->optRes[1], Qt::Key_Down);
  EXPECT_TRUE(frm->optRes[2]->isChecked());
  EXPECT_EQ(frm->SelectedPreset, 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  // txtBreit and txtHoch are disabled: the next stop is chkBorder.
  EXPECT_EQ(QApplication::focusWidget(), frm->chkBorder);
  QTest::keyClick(frm->chkBorder, Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), frm->optRes[2]);
}

TEST_F(FrmTest, EnabledStatesFollowEveryValueChangeWhoeverMakesIt) {
  frm->txtBreit->setText("777");
  frm->optRes[7]->setChecked(true);  // by code
  EXPECT_EQ(frm->SelectedPreset, 7);
  EXPECT_TRUE(frm->txtBreit->isEnabled() && frm->txtHoch->isEnabled());
  EXPECT_EQ(frm->txtBreit->text(), "777");
  QTest::mouseClick(frm->optRes[2], Qt::LeftButton);  // by the user
  EXPECT_EQ(frm->SelectedPreset, 2);
  EXPECT_FALSE(frm->txtBreit->isEnabled() || frm->txtHoch->isEnabled());
  EXPECT_EQ(frm->txtBreit->text(), "777");

  // The orientation and the preset groups do not touch each other.
  frm->optTask[1]->setChecked(true);
  EXPECT_EQ(Selected(), 2);
  frm->chkTask->setValue(0);
  EXPECT_FALSE(frm->txtTask->isEnabled() || frm->optTask[0]->isEnabled() ||
               frm->optTask[1]->isEnabled());
  EXPECT_TRUE(frm->optTask[1]->isChecked());
  frm->chkTask->setValue(2);  // grayed enables as checked does
  EXPECT_TRUE(frm->txtTask->isEnabled() && frm->optTask[0]->isEnabled() &&
              frm->optTask[1]->isEnabled());
  EXPECT_TRUE(frm->optTask[1]->isChecked());

  QTest::mouseClick(frm->chkBorder, Qt::LeftButton);
  EXPECT_EQ(frm->chkBorder->value(), 0);
  EXPECT_FALSE(frm->txtBorder->isEnabled());
  EXPECT_TRUE(frm->fraBorder->isEnabled());
  QTest::mouseClick(frm->chkBorder, Qt::LeftButton);
  EXPECT_EQ(frm->chkBorder->value(), 1);
  EXPECT_TRUE(frm->txtBorder->isEnabled());
  // A user's click never makes a box grayed.
  frm->chkBorder->setValue(2);
  QTest::mouseClick(frm->chkBorder, Qt::LeftButton);
  EXPECT_NE(frm->chkBorder->value(), 2);
}

TEST(FilterDigitKey, KeepsDigitsAndTheFourEditingCodesOnly) {
  for (int c = -300; c <= 300; ++c) {
    auto code = static_cast<std::int16_t>(c);
    FrmPentrax2::FilterDigitKey(code);
    const bool kept =
        (c >= '0' && c <= '9') || c == 8 || c == 3 || c == 22 || c == 24;
    EXPECT_EQ(code, kept ? c : 0) << c;
  }
}

TEST_F(FrmTest, NumericFieldsTakeDigitsAndEditingKeysOnly) {
  NumberBox* box = frm->txtBorder;
  box->setText("123");
  frm->chkBorder->setFocus(Qt::TabFocusReason);
  QTest::keyClick(frm->chkBorder, Qt::Key_Tab);
  ASSERT_TRUE(box->hasFocus());
  EXPECT_EQ(box->selectedText(), "123");  // focus selects the whole text
  QTest::keyClick(box, Qt::Key_7);
  EXPECT_EQ(box->text(), "7");

  QTest::keyClicks(box, "a -.");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(box->text(), "7");
  QTest::keyClicks(box, "8901234");
  EXPECT_EQ(box->text(), "78901");  // a sixth character is refused

  // Ctrl+A and Ctrl+Z do nothing; Home, End, arrows, Delete, Backspace work.
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(box->hasSelectedText());
  QTest::keyClick(box, Qt::Key_Home);
  QTest::keyClick(box, Qt::Key_Delete);
  EXPECT_EQ(box->text(), "8901");
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box->text(), "8901");
  QTest::keyClick(box, Qt::Key_End);
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClick(box, Qt::Key_Left);
  QTest::keyClick(box, Qt::Key_5);
  EXPECT_EQ(box->text(), "8950");

  // Copy, cut and paste work, and pasted text is not filtered.
  box->selectAll();
  QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "8950");
  QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(box->text(), "");
  QGuiApplication::clipboard()->setText("ab12345678");
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(box->text(), "ab123");

  // Code that assigns a longer text gets its first five characters.
  frm->txtTask->setText("1234567");
  EXPECT_EQ(frm->txtTask->text(), "12345");

  // An empty field gets the focus with nothing selected.
  frm->txtTask->setText("");
  frm->txtTask->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(frm->txtTask->selectionStart(), -1);
}

TEST_F(FrmTest, TheTwoButtonsAreNeverPressedTogether) {
  frm->txtBorder->setText("x");
  QTest::mouseClick(frm->chkGo, Qt::LeftButton);
  EXPECT_EQ(frm->chkGo->value(), 1);
  EXPECT_EQ(frm->txtBorder->text(), "0");  // pressing normalises the fields
  QTest::mouseClick(frm->chkBack, Qt::LeftButton);
  EXPECT_EQ(frm->chkBack->value(), 1);
  EXPECT_EQ(frm->chkGo->value(), 0);
  QTest::mouseClick(frm->chkGo, Qt::LeftButton);
  EXPECT_EQ(frm->chkGo->value(), 1);
  EXPECT_EQ(frm->chkBack->value(), 0);
  QTest::mouseClick(frm->chkGo, Qt::LeftButton);
  EXPECT_EQ(frm->chkGo->value(), 0);
  EXPECT_FALSE(frm->Timer2->isActive());
}

TEST_F(FrmTest, APickRunsOneActionAndDisablesTimer2) {
  frm->Timer1_Timer();  // the first tick reads the screen
  QTest::mouseClick(frm->chkGo, Qt::LeftButton);
  // While the main window stays in front nothing happens.
  for (int i = 0; i < 5; ++i) frm->Timer1_Timer();
  EXPECT_EQ(frm->chkGo->value(), 1);
  EXPECT_FALSE(frm->Timer2->isActive());
  EXPECT_TRUE(wm.writes.empty());

  wm.foreground = kOther;
  frm->Timer1_Timer();
  EXPECT_EQ(frm->chkGo->value(), 0);  // released before the action runs
  EXPECT_FALSE(frm->RestoreMode);
  EXPECT_TRUE(frm->Timer2->isActive());
  EXPECT_EQ(frm->Timer2->interval(), 400);
  frm->Timer1_Timer();  // later ticks arm nothing more
  ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->Timer2->isActive(); }, 5000));
  QTest::qWait(50);
  EXPECT_EQ(wm.writes.size(), 1u);
  EXPECT_EQ(frm->TargetWindow, kOther);
  EXPECT_EQ(frm->resultText(), "Other\r\nresized to 646 x 458");
  EXPECT_EQ(frm->txtResult->toPlainText(), "Other\nresized to 646 x 458");

  // Restore: armed by chkBack, RestoreMode true.
  wm.foreground = frm->OwnWindow();
  QTest::mouseClick(frm->chkBack, Qt::LeftButton);
  wm.foreground = kOther;
  frm->Timer1_Timer();
  EXPECT_TRUE(frm->RestoreMode);
  EXPECT_EQ(frm->chkBack->value(), 0);
  frm->Timer2_Timer();
  EXPECT_FALSE(frm->Timer2->isActive());
  EXPECT_EQ(frm->resultText(), "Other\r\nrestored its original size");
  EXPECT_EQ(wm.windows[kOther].placement.rcNormalPosition,
            (Rect{100, 50, 400, 250}));
}

TEST_F(FrmTest, BackInFrontWhenTimer2FiresMeansNoAction) {
  QTest::mouseClick(frm->chkGo, Qt::LeftButton);
  wm.foreground = kOther;
  frm->Timer1_Timer();
  wm.foreground = frm->OwnWindow();  // the user went back to Pentrax
  frm->Timer2_Timer();
  EXPECT_FALSE(frm->Timer2->isActive());
  EXPECT_TRUE(wm.writes.empty());
  EXPECT_EQ(frm->resultText(), "Result\r\n");
}

TEST_F(FrmTest, ScreenWatchEnablesByEitherDimensionAndMovesTheSelectionDown) {
  frm->optRes[5]->setChecked(true);
  screen = {1024, 768};
  frm->ScreenWatch();
  EXPECT_EQ(frm->Label1->text(), "Your screen resolution is 1024 x 768");
  EXPECT_EQ(Selected(), 2);  // through 4 and 3 in one tick
  EXPECT_EQ(frm->SelectedPreset, 2);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Enabled(i), i <= 2) << i;

  screen = {1280, 800};
  frm->ScreenWatch();
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Enabled(i), i <= 5) << i;
  EXPECT_EQ(Selected(), 2);  // growing never moves the selection

  screen = {1600, 900};
  frm->ScreenWatch();
  EXPECT_TRUE(Enabled(6));

  // Nothing fits: the selection ends on a disabled optRes(0).
  frm->optRes[4]->setChecked(true);
  screen = {600, 400};
  frm->ScreenWatch();
  EXPECT_EQ(Selected(), 0);
  EXPECT_FALSE(Enabled(0));
  EXPECT_EQ(frm->SelectedPreset, 0);

  // "Custom" is never moved, and the custom size is limited to the screen.
  frm->optRes[7]->setChecked(true);
  frm->txtBreit->setText("2000");
  screen = {500, 300};
  frm->ScreenWatch();
  EXPECT_EQ(Selected(), 7);
  EXPECT_TRUE(frm->optRes[7]->isEnabled());
  frm->NormaliseInputs();
  EXPECT_EQ(frm->txtBreit->text(), "500");
}

TEST_F(FrmTest, AFractionalScreenSizeIsStoredRoundedAndReadAgainEveryTick) {
  screen = {1280.5, 1023.5};
  frm->ScreenWatch();
  EXPECT_EQ(frm->ScreenWidth, 1280);  // halves to the even neighbour
  EXPECT_EQ(frm->ScreenHeight, 1024);
  frm->Label1->setText("changed");
  frm->ScreenWatch();
  EXPECT_EQ(frm->Label1->text(), "Your screen resolution is 1280 x 1024");
  // A whole-number size that has not changed writes nothing.
  screen = {1280, 1024};
  frm->ScreenWatch();
  frm->Label1->setText("kept");
  frm->ScreenWatch();
  EXPECT_EQ(frm->Label1->text(), "kept");
}

TEST_F(FrmTest, ResultBoxCanBeSelectedAndCopiedButNotEdited) {
  frm->setResultText("Title\r\nresized to 646 x 458");
  frm->txtResult->setFocus();
  QTest::keyClicks(frm->txtResult, "junk");
  EXPECT_EQ(frm->txtResult->toPlainText(), "Title\nresized to 646 x 458");
  frm->txtResult->selectAll();
  frm->txtResult->copy();
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            "Title\nresized to 646 x 458");
}

}  // namespace
}  // namespace pentrax::ui

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
