// Loading and saving the user's choices, the "Default" button and the help
// box, on Qt's offscreen platform (one 800 x 600 screen) with the store in a
// temporary folder.
#include "form_settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "fake_window_manager.h"

namespace pentrax::settings {
namespace {

using ui::FrmPentrax2;

class SettingsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  testing::FakeWindowManager wm;
  QStringList reports;

  // A new file for each store the test writes by hand: QSettings keeps what
  // it read of a file and would not notice a rewrite of the same size within
  // the same second.
  int generation = 0;
  QString Path() const {
    return dir.filePath(QString("pentrax2/pentrax2-%1.ini").arg(generation));
  }

  std::unique_ptr<QSettingsStore> Store(const QString& path = {}) {
    return QSettingsStore::OpenIniFile(
        path.isEmpty() ? Path() : path,
        [this](const QString& message) { reports << message; });
  }

  // A window loaded from the store, as at start-up (not yet shown).
  std::unique_ptr<FrmPentrax2> Load(SettingsStore& store) {
    auto form =
        std::make_unique<FrmPentrax2>(wm, [] { return QSizeF(800, 600); });
    form->Timer1->stop();
    Form_Load(*form, store);
    return form;
  }

  void WriteIni(const QString& text) {
    ++generation;
    QDir().mkpath(QFileInfo(Path()).absolutePath());
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
  }

  std::unique_ptr<FrmPentrax2> LoadIni(const QString& settingsLines) {
    WriteIni("[Settings]\n" + settingsLines);
    auto store = Store();
    return Load(*store);
  }
};

// The choices of a first start, which every unusable stored value falls
// back to.
void ExpectDesignValues(const FrmPentrax2& form) {
  EXPECT_TRUE(form.optRes[0]->isChecked());
  EXPECT_EQ(form.SelectedPreset, 0);
  EXPECT_TRUE(form.optTask[0]->isChecked());
  EXPECT_EQ(form.chkBorder->value(), 1);
  EXPECT_EQ(form.chkTask->value(), 1);
  EXPECT_EQ(form.txtBorder->text(), "3");
  EXPECT_EQ(form.txtTask->text(), "28");
  EXPECT_EQ(form.txtBreit->text(), kFirstCustomWidth);
  EXPECT_EQ(form.txtHoch->text(), kFirstCustomHeight);
}

TEST_F(SettingsTest, FirstStartShowsTheDesignValues) {
  auto store = Store();
  auto form = Load(*store);
  ExpectDesignValues(*form);
  EXPECT_EQ(FrmPentrax2::Tag(form->chkBorder), "1");
  EXPECT_EQ(FrmPentrax2::Tag(form->txtBorder), "3");
  EXPECT_EQ(FrmPentrax2::Tag(form->chkTask), "1");
  EXPECT_EQ(FrmPentrax2::Tag(form->txtTask), "28");
  EXPECT_EQ(FrmPentrax2::Tag(form->txtBreit), "");
  EXPECT_FALSE(form->testAttribute(Qt::WA_Moved));  // left to the platform
  EXPECT_TRUE(reports.isEmpty());
}

TEST_F(SettingsTest, UnloadThenLoadRestoresEveryValue) {
  {
    auto store = Store();
    auto form = Load(*store);
    form->optRes[7]->setChecked(true);
    form->txtBreit->setText("800");
    form->txtHoch->setText("600");
    form->chkBorder->setValue(0);
    form->txtBorder->setText("5");
    form->txtTask->setText("40");
    form->optTask[1]->setChecked(true);
    form->move(100, 50);
    Form_Unload(*form, *store);
  }
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString ini = QString::fromUtf8(file.readAll());
  for (const char* line :
       {"SelectedResolution=7", "CustomWidth=800", "CustomHeight=600",
        "AddBorder=0", "Border=5", "SubtractTaskBar=1", "TaskBar=40",
        "TaskBarOrientation=1", "PosLeft=1500", "PosTop=750"}) {
    EXPECT_TRUE(ini.contains(line)) << line << " in\n" << ini.toStdString();
  }
  EXPECT_TRUE(ini.startsWith("[Settings]"));

  auto store = Store();
  auto form = Load(*store);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->optRes[7]->isChecked());
  EXPECT_EQ(form->SelectedPreset, 7);
  EXPECT_TRUE(form->txtBreit->isEnabled() && form->txtHoch->isEnabled());
  EXPECT_EQ(form->txtBreit->text(), "800");
  EXPECT_EQ(form->txtHoch->text(), "600");
  EXPECT_EQ(form->chkBorder->value(), 0);
  EXPECT_FALSE(form->txtBorder->isEnabled());
  EXPECT_EQ(form->txtBorder->text(), "5");
  EXPECT_EQ(form->txtTask->text(), "40");
  EXPECT_TRUE(form->optTask[1]->isChecked());
  EXPECT_EQ(form->pos(), QPoint(100, 50));
  // The remembered defaults are the design values, not the stored ones.
  EXPECT_EQ(FrmPentrax2::Tag(form->chkBorder), "1");
  EXPECT_EQ(FrmPentrax2::Tag(form->txtBorder), "3");
}

TEST_F(SettingsTest, StoredTextsAreReadByTheirLeadingNumber) {
  auto form = LoadIni(
      "CustomWidth=00640\nCustomHeight=480px\nBorder=\nTaskBar=&H1C\n"
      "AddBorder=2\n");
  EXPECT_EQ(form->txtBreit->text(), "640");
  EXPECT_EQ(form->txtHoch->text(), "480");
  EXPECT_EQ(form->txtBorder->text(),
            "0");  // present but empty: not the default
  EXPECT_EQ(form->txtTask->text(), "28");
  EXPECT_EQ(form->chkBorder->value(), 2);  // grayed enables as checked does
  EXPECT_TRUE(form->txtBorder->isEnabled());
}

TEST_F(SettingsTest, AStoredPresetLargerThanTheScreenIsSelectedThenMovedDown) {
  auto form = LoadIni("SelectedResolution=6\n");
  EXPECT_TRUE(form->optRes[6]->isChecked());
  EXPECT_EQ(form->SelectedPreset, 6);
  form->ScreenWatch();  // the first tick, on an 800 x 600 screen
  EXPECT_TRUE(form->optRes[1]->isChecked());
  EXPECT_EQ(form->SelectedPreset, 1);
}

TEST_F(SettingsTest, PositionIsBroughtBackAtTheRightAndBottomEdgesOnly) {
  // The window is 353 x 385 px; everything in twips, 15 to a pixel.
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const int flushLeft = (screen.width() - 353) * 15;
  const int flushTop = (screen.height() - 385) * 15;
  auto beyond = LoadIni(QString("PosLeft=%1\nPosTop=%2\n")
                            .arg(flushLeft + 3000)
                            .arg(flushTop + 15));
  EXPECT_EQ(beyond->pos(), QPoint(flushLeft / 15, flushTop / 15));
  auto flush =
      LoadIni(QString("PosLeft=%1\nPosTop=%2\n").arg(flushLeft).arg(flushTop));
  EXPECT_EQ(flush->pos(), QPoint(flushLeft / 15, flushTop / 15));
  auto negative = LoadIni("PosLeft=-300\nPosTop=-150\n");
  EXPECT_EQ(negative->pos(), QPoint(-20, -10));
}

TEST_F(SettingsTest, HandEditedValuesFallBackToTheKeysDefault) {
  auto form = LoadIni(
      "SelectedResolution=9\nTaskBarOrientation=2\nAddBorder=5\n"
      "SubtractTaskBar=-1\nBorder=9E999\nTaskBar=-9E999\nCustomWidth=1,2\n"
      "CustomHeight=1e400\nPosLeft=1e300\nPosTop=-1e7\n");
  ExpectDesignValues(*form);
  EXPECT_FALSE(form->testAttribute(Qt::WA_Moved));

  auto negative = LoadIni("SelectedResolution=-1\nPosLeft=-99999999999\n");
  EXPECT_TRUE(negative->optRes[0]->isChecked());
  EXPECT_FALSE(negative->testAttribute(Qt::WA_Moved));
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenDoesNotStopTheProgram) {
  // A folder in place of which stands a file: nothing can be created there
  // (this holds for root as well, unlike a read-only folder).
  QFile blocker(dir.filePath("blocked"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  auto store = Store(dir.filePath("blocked/pentrax2/pentrax2.ini"));
  auto form = Load(*store);
  EXPECT_EQ(form->txtBorder->text(), "3");
  Form_Unload(*form, *store);
  Form_Unload(*form, *store);
  ASSERT_EQ(reports.size(), 1);  // said once
  EXPECT_TRUE(reports[0].contains("not saved")) << reports[0].toStdString();
}

TEST_F(SettingsTest, ACorruptStoreRunsOnDefaultsAndIsKept) {
  WriteIni(
      QString("[Settings]\nSelectedResolution=3\n[Broken\n\x01\x02=\xff\n"));
  auto store = Store();
  auto form = Load(*store);
  if (reports.isEmpty()) {
    GTEST_SKIP() << "this Qt reads the file without a format error";
  }
  EXPECT_TRUE(form->optRes[0]->isChecked());
  EXPECT_TRUE(QFile::exists(Path() + ".corrupt"));
}

TEST_F(SettingsTest,
       DefaultButtonRestoresTheDesignValuesAndKeepsTheCustomSize) {
  auto store = Store();
  auto form = Load(*store);
  form->move(120, 80);
  form->optRes[7]->setChecked(true);
  form->txtBreit->setText("800");
  form->txtHoch->setText("600");
  form->chkBorder->setValue(0);
  form->chkTask->setValue(0);
  form->txtBorder->setText("9");
  form->txtTask->setText("44");
  form->optTask[1]->setChecked(true);
  form->setResultText("kept\r\n");
  form->ScreenWatch();
  QTest::mouseClick(form->chkGo, Qt::LeftButton);  // normalises the fields

  cmdRestoreDefaults_Click(*form);
  EXPECT_TRUE(form->optRes[0]->isChecked());
  EXPECT_EQ(form->SelectedPreset, 0);
  EXPECT_TRUE(form->optTask[0]->isChecked());
  EXPECT_EQ(form->chkBorder->value(), 1);
  EXPECT_EQ(form->chkTask->value(), 1);
  EXPECT_TRUE(form->txtBorder->isEnabled() && form->txtTask->isEnabled());
  EXPECT_EQ(form->txtBorder->text(), "3");
  EXPECT_EQ(form->txtTask->text(), "28");
  EXPECT_EQ(form->txtBreit->text(), "800");
  EXPECT_EQ(form->txtHoch->text(), "600");
  EXPECT_FALSE(form->txtBreit->isEnabled() || form->txtHoch->isEnabled());
  // Left alone: position, result, push buttons, store.
  EXPECT_EQ(form->pos(), QPoint(120, 80));
  EXPECT_EQ(form->resultText(), "kept\r\n");
  EXPECT_EQ(form->chkGo->value(), 1);
  EXPECT_FALSE(QFile::exists(Path()));

  // A second click changes nothing.
  const SizeChoices before = form->Choices();
  cmdRestoreDefaults_Click(*form);
  const SizeChoices after = form->Choices();
  EXPECT_EQ(after.fields.breit, before.fields.breit);
  EXPECT_EQ(after.fields.border, before.fields.border);
  EXPECT_EQ(after.selectedPreset, before.selectedPreset);

  // The custom fields are cleaned: sign and junk go, fractions stay.
  form->txtBreit->setText("-5x");
  form->txtHoch->setText("");
  cmdRestoreDefaults_Click(*form);
  EXPECT_EQ(form->txtBreit->text(), "5");
  EXPECT_EQ(form->txtHoch->text(), "0");
  form->txtBreit->setText("2.5");
  cmdRestoreDefaults_Click(*form);
  EXPECT_EQ(form->txtBreit->text(), "2.5");
}

TEST(Help, TextIsExactAndTheBoxIsModalWithOneOkButton) {
  const QString text = FrmPentrax2::HelpText();
  const QStringList lines = text.split("\r\n");
  ASSERT_EQ(lines.size(), 16);
  const QString expected =
      "The purpose of Pentrax is to change the size of other windows.\r\n"
      "This is useful for testing how a program or web site looks on a "
      "screen\r\n"
      "with a resolution lower than the resolution of the developer's "
      "screen.\r\n"
      "\r\n"
      "1. Select the desired size.\r\n"
      "2. Optionally modify that size by adding the size of a window border\r\n"
      "    or by subtracting the size of a task bar.\r\n"
      "3. Click on the button 'Click here, and then click on the window you "
      "want to size'.\r\n"
      "    This button remains pressed until you select the window you want to "
      "resize.\r\n"
      "4. Optionally restore the original sizes of the resized windows by "
      "clicking\r\n"
      "    on the button 'Click here, and then click on a window to restore "
      "its original size'\r\n"
      "    and then select the window you want to restore.\r\n"
      "\r\n"
      "You cannot select a resolution larger than your own screen's "
      "resolution.\r\n"
      "\r\n";
  EXPECT_TRUE(text.startsWith(expected));
  EXPECT_FALSE(lines[15].isEmpty());
  EXPECT_FALSE(text.endsWith("\r\n"));
  EXPECT_EQ(FrmPentrax2::kHelpTitle, "Pentrax 2.2.1 - Help");

  testing::FakeWindowManager wm;
  FrmPentrax2 form(wm);
  form.Timer1->stop();
  form.show();
  QString title, shown;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  bool modal = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      return;
    }
    poll.stop();
    title = box->windowTitle();
    shown = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    modal = box->isModal();
    box->accept();
  });
  poll.start();
  form.cmdHelp->click();
  EXPECT_EQ(title, "Pentrax 2.2.1 - Help");
  EXPECT_EQ(icon, QMessageBox::Information);
  EXPECT_EQ(buttons, QMessageBox::Ok);
  EXPECT_TRUE(modal);
  const QStringList shownLines = shown.split('\n');
  ASSERT_EQ(shownLines.size(), 16);
  EXPECT_TRUE(shownLines[6].startsWith(QString(4, QChar(0x00A0)) + "or by"));
}

}  // namespace
}  // namespace pentrax::settings

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
