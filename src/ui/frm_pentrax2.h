// The main window: the user's choices, the two push-style buttons that arm a
// sizing or a restoring, the result box, and the two timers that watch the
// screen and the foreground window.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "controls.h"
#include "ledger.h"
#include "sizing.h"
#include "window_manager.h"

namespace pentrax::ui {

class FrmPentrax2 : public QWidget {
  Q_OBJECT
 public:
  // The whole screen's size in device pixels (the pixels windows are sized
  // in), possibly fractional.
  using ScreenSize = std::function<QSizeF()>;

  // The window acts on other windows through wm, which must outlive it.
  explicit FrmPentrax2(WindowManager& wm, ScreenSize screenSize = {},
                       QWidget* parent = nullptr);

  // The primary screen in device pixels, as Qt reports it.
  static QSizeF PrimaryScreenSize();

  // The text of txtResult as the actions wrote it (line breaks "\r\n").
  QString resultText() const { return resultText_; }
  void setResultText(const QString& text);

  // The handle that tells the main window apart from the windows it sizes.
  WindowHandle OwnWindow() const;

  // Runs once when the window unloads, however it is closed (close button,
  // Alt+F4, the window manager, a signal): the settings are written there.
  void setUnloadHandler(std::function<void()> handler);
  // Runs the unload handler now, if it has not run yet.
  void Unload();

  // The usage text of the Help button, lines joined by "\r\n", and the title
  // of its message box.
  static QString HelpText();
  static const QString kHelpTitle;

  // A control's free text property, empty unless the program sets it.
  static QString Tag(const QObject* control);
  static void SetTag(QObject* control, const QString& tag);

  // Controls, named as the program's other parts refer to them.
  QLabel* Label1;
  QGroupBox* Frame1;
  std::array<QRadioButton*, 8> optRes;
  QLabel* Label4;
  NumberBox* txtBreit;
  NumberBox* txtHoch;
  CheckBox* chkBorder;
  QGroupBox* fraBorder;
  NumberBox* txtBorder;
  QLabel* Label3;
  QLabel* Label2;
  CheckBox* chkTask;
  QGroupBox* fraTask;
  std::array<QRadioButton*, 2> optTask;
  NumberBox* txtTask;
  QLabel* Label6;
  QLabel* Label5;
  PushCheckBox* chkGo;
  PushCheckBox* chkBack;
  QPlainTextEdit* txtResult;
  QPushButton* cmdRestoreDefaults;
  QPushButton* cmdHelp;
  QTimer* Timer1;
  QTimer* Timer2;

  // Fields of the window.
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::int32_t SelectedPreset = 0;
  bool RestoreMode = false;
  WindowHandle TargetWindow = 0;
  ResizedWindowLedger ledger;

  // Handlers, public so that tests can drive a tick or a timer directly.
  void optRes_Click(int index);
  void chkBorder_Click();
  void chkTask_Click();
  void chkGo_Click();
  void chkBack_Click();
  void Timer1_Timer();
  void Timer2_Timer();
  void ScreenWatch();
  void ForegroundWatch();
  void NormaliseInputs();
  static void FilterDigitKey(std::int16_t& keyAscii);
  void cmdHelp_Click();

  // The user's choices as the sizing logic reads them.
  SizeChoices Choices() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void ArmTimer2(bool restoreMode);

  WindowManager& wm_;
  ScreenSize screenSize_;
  QButtonGroup* optResGroup_;
  QButtonGroup* optTaskGroup_;
  QString resultText_;
  std::function<void()> unloadHandler_;
  bool unloaded_ = false;
};

}  // namespace pentrax::ui
