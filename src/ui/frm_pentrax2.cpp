#include "frm_pentrax2.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

#include "actions.h"
#include "numbers.h"

namespace pentrax::ui {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kTimer1Interval = 100;
constexpr int kTimer2Interval = 400;

// Positions and sizes are laid out in twips, 15 to a pixel at 96 dpi; Qt
// scales the pixels on screens of other densities.
QRect Twips(int left, int top, int width, int height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
          height / kTwipsPerPixel};
}

template <typename W>
W* Place(W* widget, const char* name, QRect geometry) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption,
                  QRect geometry, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* label = Place(new QLabel(caption, parent), name, geometry);
  label->setAlignment(alignment | Qt::AlignTop);
  return label;
}

// One of the four numeric fields.
NumberBox* MakeNumberBox(QWidget* parent, const char* name, const char* text,
                         Qt::Alignment alignment, QRect geometry) {
  return Place(new NumberBox(QString::fromLatin1(text), alignment,
                             &FrmPentrax2::FilterDigitKey, parent),
               name, geometry);
}

// An option-button array: buttons of one name, told apart by their index,
// forming one exclusive group.
template <std::size_t N>
void MakeOptions(QWidget* frame, QButtonGroup* group, const char* name,
                 const char* const (&captions)[N], const QRect (&geometry)[N],
                 std::array<QRadioButton*, N>& buttons) {
  for (std::size_t i = 0; i < N; ++i) {
    const int index = static_cast<int>(i);
    buttons[i] =
        Place(new QRadioButton(QString::fromLatin1(captions[i]), frame), name,
              geometry[i]);
    buttons[i]->setProperty("index", index);
    group->addButton(buttons[i], index);
  }
}

// A checked box lying across the top edge of a frame, where a caption would
// stand; it covers the frame's line.
CheckBox* MakeHeading(QWidget* parent, const char* name, const QString& caption,
                      QRect geometry) {
  auto* box = Place(new CheckBox(caption, parent), name, geometry);
  box->setValue(1);
  box->setAutoFillBackground(true);
  return box;
}

// The window's icon: a window frame with an arrow that pulls its corner in.
QIcon MakeIcon() {
  QIcon icon;
  for (const int size : {16, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const qreal u = size / 16.0;
    p.setPen(QPen(QColor(9, 106, 0), u));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5 * u, 0.5 * u, 14 * u, 14 * u));
    p.fillRect(QRectF(u, u, 13.5 * u, 3 * u), QColor(9, 106, 0));
    p.setPen(QPen(QColor(64, 0, 64), 1.5 * u));
    p.drawLine(QPointF(13 * u, 13 * u), QPointF(7 * u, 7 * u));
    p.drawLine(QPointF(7 * u, 7 * u), QPointF(7 * u, 10.5 * u));
    p.drawLine(QPointF(7 * u, 7 * u), QPointF(10.5 * u, 7 * u));
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

// Texts from the sizing logic: numbers, and window titles as the platform
// gives them (UTF-8 on X11, the 8-bit code page on Windows).
QString ToQString(const std::string& text) {
  const auto size = static_cast<qsizetype>(text.size());
#ifdef _WIN32
  return QString::fromLocal8Bit(text.data(), size);
#else
  return QString::fromUtf8(text.data(), size);
#endif
}

// Writes a field only when its text changes, so the cursor and selection of
// a field that stays the same are left alone.
void SetText(NumberBox* box, const std::string& text) {
  const QString value = ToQString(text);
  if (box->text() != value) {
    box->setText(value);
  }
}

QString chkGoCaption() {
  return QStringLiteral(
      "Click here, and then click on the window you want to size");
}

QString chkBackCaption() {
  return QStringLiteral(
      "Click here, and then click on a window to restore its original size");
}

}  // namespace

FrmPentrax2::FrmPentrax2(WindowManager& wm, ScreenSize screenSize,
                         QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      wm_(wm),
      screenSize_(screenSize ? std::move(screenSize) : &PrimaryScreenSize) {
  setObjectName(QStringLiteral("frmPentrax2"));
  setWindowTitle(QStringLiteral("Pentrax 2"));
  setWindowIcon(MakeIcon());
  setFixedSize(Twips(0, 0, 5295, 5775).size());
  // The layout is drawn for a small dialog font: Arial (or a font of the
  // same metrics, such as Liberation Sans) at 8 points.
  QFont small(QStringLiteral("Arial"));
  small.setPointSizeF(8);
  setFont(small);
  BuildControls();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimer1Interval);
  connect(Timer1, &QTimer::timeout, this, &FrmPentrax2::Timer1_Timer);
  Timer1->start();

  Timer2 = new QTimer(this);
  Timer2->setObjectName(QStringLiteral("Timer2"));
  Timer2->setSingleShot(true);
  connect(Timer2, &QTimer::timeout, this, &FrmPentrax2::Timer2_Timer);
}

void FrmPentrax2::BuildControls() {
  Label1 =
      MakeLabel(this, "Label1", QStringLiteral("Your screen resolution is:"),
                Twips(120, 45, 3735, 255));

  Frame1 = Place(
      new QGroupBox(
          QStringLiteral("Select the desired testing resolution [pixels]"),
          this),
      "Frame1", Twips(120, 480, 5055, 1455));
  const char* const resCaptions[] = {"640 x 480",   "800 x 600",  "1024 x 768",
                                     "1152 x 864",  "1280 x 960", "1280 x 1024",
                                     "1600 x 1200", "Custom"};
  const QRect resGeometry[] = {
      Twips(120, 360, 1455, 255),  Twips(120, 720, 1455, 255),
      Twips(120, 1080, 1455, 255), Twips(1560, 360, 1455, 255),
      Twips(1560, 720, 1455, 255), Twips(1560, 1080, 1455, 255),
      Twips(3000, 360, 1455, 255), Twips(3000, 720, 1455, 255)};
  optResGroup_ = new QButtonGroup(this);
  MakeOptions(Frame1, optResGroup_, "optRes", resCaptions, resGeometry, optRes);
  Label4 = MakeLabel(Frame1, "Label4", QStringLiteral("x"),
                     Twips(3945, 1005, 135, 195), Qt::AlignHCenter);
  txtBreit = MakeNumberBox(Frame1, "txtBreit", "1200", Qt::AlignRight,
                           Twips(3240, 960, 735, 285));
  txtHoch = MakeNumberBox(Frame1, "txtHoch", "900", Qt::AlignLeft,
                          Twips(4080, 960, 735, 285));

  // The frames come first: their check boxes lie across their top edges,
  // above them, where a caption would stand.
  fraBorder =
      Place(new QGroupBox(this), "fraBorder", Twips(120, 2160, 5055, 735));
  txtBorder = MakeNumberBox(fraBorder, "txtBorder", "3", Qt::AlignRight,
                            Twips(1515, 375, 375, 285));
  Label3 = MakeLabel(fraBorder, "Label3", QStringLiteral("Border size:"),
                     Twips(120, 420, 1335, 255), Qt::AlignRight);
  Label2 = MakeLabel(fraBorder, "Label2", QStringLiteral("pixels"),
                     Twips(1920, 420, 495, 255));
  chkBorder = MakeHeading(
      this, "chkBorder",
      QStringLiteral("Add a border in order to get the correct client area "
                     "size for a maximized window"),
      Twips(240, 2070, 3135, 375));

  fraTask = Place(new QGroupBox(this), "fraTask", Twips(120, 3060, 5055, 855));
  optTaskGroup_ = new QButtonGroup(this);
  const char* const taskCaptions[] = {"Horizontal or", "vertical Taskbar"};
  const QRect taskGeometry[] = {Twips(360, 240, 1455, 255),
                                Twips(1590, 240, 1455, 255)};
  MakeOptions(fraTask, optTaskGroup_, "optTask", taskCaptions, taskGeometry,
              optTask);
  optTask[0]->setChecked(true);
  txtTask = MakeNumberBox(fraTask, "txtTask", "28", Qt::AlignRight,
                          Twips(1515, 495, 375, 285));
  Label6 = MakeLabel(fraTask, "Label6", QStringLiteral("Taskbar size:"),
                     Twips(120, 540, 1335, 255), Qt::AlignRight);
  Label5 = MakeLabel(fraTask, "Label5", QStringLiteral("pixels"),
                     Twips(1920, 540, 495, 255));
  chkTask = MakeHeading(this, "chkTask",
                        QStringLiteral("Subtract the size of the taskbar"),
                        Twips(240, 3030, 2535, 255));

  chkGo = Place(new PushCheckBox(chkGoCaption(), this), "chkGo",
                Twips(120, 4080, 5055, 495));
  QFont goFont(QStringLiteral("Arial"));
  goFont.setPointSizeF(8.25);
  goFont.setBold(true);
  goFont.setUnderline(true);
  chkGo->setFont(goFont);
  QPalette goPalette = chkGo->palette();
  goPalette.setColor(QPalette::ButtonText, QColor(9, 106, 0));
  chkGo->setPalette(goPalette);

  chkBack = Place(new PushCheckBox(chkBackCaption(), this), "chkBack",
                  Twips(120, 4680, 5055, 375));
  QFont backFont(QStringLiteral("Arial"));
  backFont.setPointSizeF(8.25);
  chkBack->setFont(backFont);
  QPalette backPalette = chkBack->palette();
  backPalette.setColor(QPalette::ButtonText, QColor(64, 0, 64));
  chkBack->setPalette(backPalette);
  chkBack->setToolTip(QStringLiteral(
      "This only works for windows you have resized since this program was "
      "started"));

  txtResult =
      Place(new QPlainTextEdit(this), "txtResult", Twips(120, 5160, 5055, 495));
  txtResult->setReadOnly(true);
  txtResult->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                     Qt::TextSelectableByKeyboard);
  txtResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtResult->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QPalette resultPalette = txtResult->palette();
  resultPalette.setColor(QPalette::Base, resultPalette.color(QPalette::Button));
  txtResult->setPalette(resultPalette);
  setResultText(QStringLiteral("Result\r\n"));

  cmdRestoreDefaults = Place(new QPushButton(QStringLiteral("Default"), this),
                             "cmdRestoreDefaults", Twips(3480, 60, 975, 375));
  cmdRestoreDefaults->setToolTip(QStringLiteral("Restore default settings"));
  cmdRestoreDefaults->setAutoDefault(false);
  cmdHelp = Place(new QPushButton(QStringLiteral("Help"), this), "cmdHelp",
                  Twips(4560, 60, 615, 375));
  cmdHelp->setAutoDefault(false);

  // Initial state: the first preset, custom size off, "1600 x 1200" off
  // until the first look at the screen.
  optRes[0]->setChecked(true);
  txtBreit->setEnabled(false);
  txtHoch->setEnabled(false);
  optRes[6]->setEnabled(false);

  // Tab order of the table; each option group is one stop.
  const QList<QWidget*> order = {
      optRes[0], optRes[1], optRes[2], optRes[3],  optRes[4],
      optRes[5], optRes[6], optRes[7], txtBreit,   txtHoch,
      chkBorder, txtBorder, chkTask,   optTask[0], optTask[1],
      txtTask,   chkGo,     chkBack,   txtResult,  cmdRestoreDefaults,
      cmdHelp};
  for (qsizetype i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }

  // A change of value runs the control's handler at once, whoever makes it.
  connect(optResGroup_, &QButtonGroup::idToggled, this,
          [this](int id, bool on) {
            if (on) {
              optRes_Click(id);
            }
          });
  connect(chkBorder, &CheckBox::valueChanged, this,
          &FrmPentrax2::chkBorder_Click);
  connect(chkTask, &CheckBox::valueChanged, this, &FrmPentrax2::chkTask_Click);
  connect(chkGo, &PushCheckBox::valueChanged, this, &FrmPentrax2::chkGo_Click);
  connect(chkBack, &PushCheckBox::valueChanged, this,
          &FrmPentrax2::chkBack_Click);
  connect(cmdHelp, &QPushButton::clicked, this, &FrmPentrax2::cmdHelp_Click);
}

QSizeF FrmPentrax2::PrimaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return {};
  }
  return QSizeF(screen->size()) * screen->devicePixelRatio();
}

void FrmPentrax2::setResultText(const QString& text) {
  resultText_ = text;
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  txtResult->setPlainText(shown);
}

WindowHandle FrmPentrax2::OwnWindow() const {
  return static_cast<WindowHandle>(winId());
}

void FrmPentrax2::setUnloadHandler(std::function<void()> handler) {
  unloadHandler_ = std::move(handler);
}

void FrmPentrax2::Unload() {
  if (unloaded_) {
    return;
  }
  unloaded_ = true;
  if (unloadHandler_) {
    unloadHandler_();
  }
}

void FrmPentrax2::closeEvent(QCloseEvent* event) {
  Unload();  // closing is never cancelled
  event->accept();
}

QString FrmPentrax2::Tag(const QObject* control) {
  return control->property("Tag").toString();
}

void FrmPentrax2::SetTag(QObject* control, const QString& tag) {
  control->setProperty("Tag", tag);
}

const QString FrmPentrax2::kHelpTitle = QStringLiteral("Pentrax 2.2.1 - Help");

QString FrmPentrax2::HelpText() {
  const QStringList lines = {
      QStringLiteral(
          "The purpose of Pentrax is to change the size of other windows."),
      QStringLiteral("This is useful for testing how a program or web site "
                     "looks on a screen"),
      QStringLiteral("with a resolution lower than the resolution of the "
                     "developer's screen."),
      QString(),
      QStringLiteral("1. Select the desired size."),
      QStringLiteral("2. Optionally modify that size by adding the size of a "
                     "window border"),
      QStringLiteral("    or by subtracting the size of a task bar."),
      QStringLiteral("3. Click on the button '") + chkGoCaption() +
          QStringLiteral("'."),
      QStringLiteral("    This button remains pressed until you select the "
                     "window you want to resize."),
      QStringLiteral("4. Optionally restore the original sizes of the resized "
                     "windows by clicking"),
      QStringLiteral("    on the button '") + chkBackCaption() +
          QStringLiteral("'"),
      QStringLiteral("    and then select the window you want to restore."),
      QString(),
      QStringLiteral("You cannot select a resolution larger than your own "
                     "screen's resolution."),
      QString(),
      QStringLiteral("Pentrax remembers your choices and its window position "
                     "for the next start."),
  };
  return lines.join(QStringLiteral("\r\n"));
}

void FrmPentrax2::cmdHelp_Click() {
  // Shown as plain text: line breaks as they are, and the indenting blanks
  // kept (a label would fold runs of blanks).
  QString shown = HelpText();
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QStringLiteral("    "), QString(4, QChar(0x00A0)));
  QMessageBox box(QMessageBox::Information, kHelpTitle, shown, QMessageBox::Ok,
                  this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void FrmPentrax2::optRes_Click(int index) {
  const bool custom = index == kCustomPreset;
  txtBreit->setEnabled(custom);
  txtHoch->setEnabled(custom);
  SelectedPreset = index;
}

void FrmPentrax2::chkBorder_Click() {
  txtBorder->setEnabled(chkBorder->value() != 0);
}

void FrmPentrax2::chkTask_Click() {
  txtTask->setEnabled(chkTask->value() != 0);
  optTask[0]->setEnabled(chkTask->value() != 0);
  optTask[1]->setEnabled(chkTask->value() != 0);
}

void FrmPentrax2::chkGo_Click() {
  if (chkGo->value() == 1) {
    chkBack->setValue(0);
    wm_.StartForegroundWatch();
  }
  NormaliseInputs();
}

void FrmPentrax2::chkBack_Click() {
  if (chkBack->value() == 1) {
    chkGo->setValue(0);
    wm_.StartForegroundWatch();
  }
}

void FrmPentrax2::FilterDigitKey(std::int16_t& keyAscii) {
  if (keyAscii >= 48 && keyAscii <= 57) {
    return;
  }
  if (keyAscii == 8 || keyAscii == 22 || keyAscii == 3 || keyAscii == 24) {
    return;
  }
  keyAscii = 0;
}

void FrmPentrax2::Timer1_Timer() {
  ScreenWatch();
  ForegroundWatch();
}

void FrmPentrax2::ScreenWatch() {
  const QSizeF screen = screenSize_();
  const double qW = screen.width();
  const double qH = screen.height();
  if (qW == ScreenWidth && qH == ScreenHeight) {
    return;
  }
  ScreenWidth = RoundToInt32(qW);
  ScreenHeight = RoundToInt32(qH);
  Label1->setText(QStringLiteral("Your screen resolution is %1 x %2")
                      .arg(ToQString(NumberToText(ScreenWidth)),
                           ToQString(NumberToText(ScreenHeight))));
  for (int i = kPresetCount - 1; i >= 0; --i) {
    if (PresetFits(i, ScreenWidth, ScreenHeight)) {
      optRes[i]->setEnabled(true);
      continue;
    }
    optRes[i]->setEnabled(false);
    if (optRes[i]->isChecked() && i > 0) {
      optRes[i - 1]->setChecked(true);  // runs optRes_Click(i - 1)
    }
  }
}

void FrmPentrax2::ForegroundWatch() {
  if (chkGo->value() == 1) {
    const WindowHandle foreground = wm_.GetForegroundWindow();
    if (foreground != OwnWindow()) {
      ArmTimer2(false);
    }
  }
  if (chkBack->value() == 1) {
    const WindowHandle foreground = wm_.GetForegroundWindow();
    if (foreground != OwnWindow()) {
      ArmTimer2(true);
    }
  }
}

void FrmPentrax2::ArmTimer2(bool restoreMode) {
  RestoreMode = restoreMode;
  (restoreMode ? chkBack : chkGo)->setValue(0);
  Timer2->setInterval(kTimer2Interval);
  Timer2->start();
}

void FrmPentrax2::Timer2_Timer() {
  std::optional<std::string> report;
  const ActionContext ctx{wm_, OwnWindow(), ledger, TargetWindow};
  if (RestoreMode) {
    report = RestoreAction(ctx);
  } else {
    NormaliseInputs();
    SizeChoices choices = Choices();
    report = SizeAction(ctx, choices, ScreenWidth, ScreenHeight);
  }
  if (report) {
    setResultText(ToQString(*report));
  }
  Timer2->stop();
}

void FrmPentrax2::NormaliseInputs() {
  NumericFields fields{
      txtBreit->text().toStdString(), txtHoch->text().toStdString(),
      txtBorder->text().toStdString(), txtTask->text().toStdString()};
  pentrax::NormaliseInputs(fields, ScreenWidth, ScreenHeight);
  SetText(txtBreit, fields.breit);
  SetText(txtHoch, fields.hoch);
  SetText(txtBorder, fields.border);
  SetText(txtTask, fields.task);
}

SizeChoices FrmPentrax2::Choices() const {
  SizeChoices c;
  c.selectedPreset = SelectedPreset;
  c.fields = {txtBreit->text().toStdString(), txtHoch->text().toStdString(),
              txtBorder->text().toStdString(), txtTask->text().toStdString()};
  c.chkBorder = chkBorder->value();
  c.chkTask = chkTask->value();
  c.taskBarHorizontal = optTask[0]->isChecked();
  return c;
}

}  // namespace pentrax::ui
