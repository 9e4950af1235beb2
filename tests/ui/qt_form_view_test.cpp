// Offscreen, on two monitors, two device pixels to a logical one.
#include "qt_form_view.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "controls.h"
#include "fake_window_manager.h"

namespace pentrax::ui {
namespace {

class QtViewTest : public ::testing::Test {
 protected:
  testing::FakeWindowManager wm;
  QtFormView view;
  FrmPentrax2 form{wm, view};

  void SetUp() override {
    view.Bind(form);
    view.Timer1().stop();  // the tests tick by hand
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  }
  template <typename W>
  W* Get(ControlId id) {
    return qobject_cast<W*>(view.Widget(id));
  }
};

// With the window's font (Liberation Sans for Arial), beside an indicator,
// and no control laid over it hides any of it.
TEST_F(QtViewTest, EveryCaptionFitsWhereItIsShown) {
  form.Timer1_Timer();  // Label1 says the screen's size
  for (const ControlLayout& row : kLayout) {
    QWidget* w = view.Widget(row.id);
    QRect room = w->rect(), text;
    const auto fit = [&](QRect in, int flags, const QString& caption) {
      room = in;
      text = w->fontMetrics().boundingRect(in, flags, caption);
    };
    if (auto* label = qobject_cast<QLabel*>(w)) {
      fit(room, label->alignment(), label->text());
    } else if (auto* option = dynamic_cast<OptionButton*>(w)) {
      fit(option->CaptionRect(), option->CaptionFlags(), option->text());
    } else if (auto* box = dynamic_cast<CheckBox*>(w)) {
      fit(box->CaptionRect(), box->CaptionFlags(), box->text());
    } else if (auto* push = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton o;
      o.initFrom(w);
      fit(w->style()->subElementRect(QStyle::SE_PushButtonContents, &o, w),
          Qt::AlignCenter, push->text());
    } else if (auto* group = qobject_cast<QGroupBox*>(w);
               group && !group->title().isEmpty()) {
      QStyleOptionGroupBox o;
      o.initFrom(w);
      o.text = group->title();
      text = w->style()->subControlRect(QStyle::CC_GroupBox, &o,
                                        QStyle::SC_GroupBoxLabel, w);
    } else {
      continue;  // a text box, or a frame without a title
    }
    EXPECT_TRUE(room.contains(text)) << row.name;
    const QObjectList& siblings = w->parentWidget()->children();
    for (auto it = siblings.begin() + siblings.indexOf(w) + 1;
         it != siblings.end(); ++it) {
      if (const auto* above = qobject_cast<QWidget*>(*it)) {
        EXPECT_FALSE(above->geometry().intersects(text.translated(w->pos())))
            << row.name << " under " << above->objectName().toStdString();
      }
    }
  }
}

TEST_F(QtViewTest, DrawsTheModelAndForwardsClicksKeysAndFocus) {
  form.SetValue(kChkBorder, 2);
  EXPECT_EQ(Get<QCheckBox>(kChkBorder)->checkState(), Qt::PartiallyChecked);
  form.SetValue(kChkBorder, 1);
  QTest::mouseClick(view.Widget(kChkGo), Qt::LeftButton);
  EXPECT_EQ(form.Value(kChkGo), 1);
  EXPECT_TRUE(Get<QAbstractButton>(kChkGo)->isChecked());
  QTest::mouseClick(view.Widget(kChkBack), Qt::LeftButton);  // redrawn
  EXPECT_FALSE(Get<QAbstractButton>(kChkGo)->isChecked());
  QTest::mouseClick(view.Widget(kChkBorder), Qt::LeftButton);
  EXPECT_FALSE(view.Widget(kTxtBorder)->isEnabled());

  // Arrows move in an option group (the Tab order: the end-to-end keys).
  QTest::mouseClick(view.Widget(OptRes(1)), Qt::LeftButton);
  QTest::keyClick(view.Widget(OptRes(1)), Qt::Key_Down);
  EXPECT_EQ(form.SelectedPreset, 2);
  auto* task = Get<QLineEdit>(kTxtTask);
  task->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(task->selectedText(), "28");  // the focus selects the whole text
  QTest::keyClicks(task, "7a-.");
  QTest::keyClick(task, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form.Text(kTxtTask), "7");
}

// two_screens.json: 1600 x 1200 and, to its right, 1024 x 800.
TEST_F(QtViewTest, TheScreenIsTheWindowsMonitorInDevicePixels) {
  ASSERT_EQ(QGuiApplication::screens().size(), 2);
  const auto shows = [&](const char* caption) {
    return QTest::qWaitFor(
        [&] { return Get<QLabel>(kLabel1)->text() == caption; });
  };
  view.Timer1().start();
  EXPECT_TRUE(shows("Your screen resolution is 1600 x 1200"));
  EXPECT_TRUE(view.Widget(OptRes(5))->isEnabled());
  // Onto the second monitor, whole (Qt keeps its native top-left corner).
  view.move(QGuiApplication::screens()[1]->geometry().topLeft() +
            QPoint(10, 5));
  EXPECT_TRUE(shows("Your screen resolution is 1024 x 800"));
  EXPECT_FALSE(view.Widget(OptRes(5))->isEnabled());
}

}  // namespace
}  // namespace pentrax::ui

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PENTRAX_TWO_SCREENS);
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
