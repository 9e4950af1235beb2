#include "form_settings.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <cmath>
#include <limits>

#include "numbers.h"

namespace pentrax::settings {
namespace {

using ui::FrmPentrax2;

char DecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 && point.at(0).unicode() < 128
             ? static_cast<char>(point.at(0).unicode())
             : '.';
}

QString Text(double value) {
  return QString::fromStdString(NumberToText(value, DecimalSeparator()));
}

double Number(const QString& text) { return LeadingNumber(text.toStdString()); }

// A whole number from a stored text, or nullopt when it is not one of the
// allowed values (only a hand-edited store holds such values).
std::optional<int> WholeNumberIn(const QString& text, int lowest, int highest) {
  const double n = RoundHalfEven(Number(text));
  if (!std::isfinite(n) || n < lowest || n > highest) {
    return std::nullopt;
  }
  return static_cast<int>(n);
}

// Selects option i or, for a value outside the group, the default option.
void SelectOption(SettingsStore& store, const QString& key, int highest,
                  const auto& options) {
  const int i = WholeNumberIn(store.Read(key, QStringLiteral("0")), 0, highest)
                    .value_or(0);
  options[static_cast<std::size_t>(i)]->setChecked(true);
}

// A numeric field: the number-to-text form of the stored text's leading
// number; a number beyond the double range falls back to the default.
void LoadField(SettingsStore& store, const QString& key,
               const QString& defaultText, QLineEdit* field) {
  double n = Number(store.Read(key, defaultText));
  if (!std::isfinite(n)) {
    n = Number(defaultText);
  }
  field->setText(Text(n));
}

// A check box: 0, 1 or 2; anything else falls back to the remembered
// default, which the Tag holds.
void LoadCheckBox(SettingsStore& store, const QString& key, ui::CheckBox* box) {
  FrmPentrax2::SetTag(box, QString::number(box->value()));
  const QString tag = FrmPentrax2::Tag(box);
  box->setValue(WholeNumberIn(store.Read(key, tag), 0, 2)
                    .value_or(WholeNumberIn(tag, 0, 2).value_or(1)));
}

void LoadTextField(SettingsStore& store, const QString& key, QLineEdit* field) {
  FrmPentrax2::SetTag(field, field->text());
  LoadField(store, key, FrmPentrax2::Tag(field), field);
}

struct TwipsRect {
  float left, top, width, height;
};

TwipsRect WindowInTwips(const QWidget& form) {
  const QRect r = form.frameGeometry();
  return {static_cast<float>(r.x() * kTwipsPerPixel),
          static_cast<float>(r.y() * kTwipsPerPixel),
          static_cast<float>(r.width() * kTwipsPerPixel),
          static_cast<float>(r.height() * kTwipsPerPixel)};
}

// The primary screen as a whole, in twips.
QSizeF ScreenInTwips() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen == nullptr ? QSizeF() : QSizeF(screen->size()) * kTwipsPerPixel;
}

// A stored coordinate: single precision, and not so far out that the window
// would lie wholly left of or above every screen (right and bottom are
// brought back by the edge correction).
std::optional<float> Coordinate(const QString& text, float windowExtent,
                                float desktopStart) {
  const double v = Number(text);
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) {
    return std::nullopt;
  }
  const auto f = static_cast<float>(v);
  if (f + windowExtent <= desktopStart || f > 1e8f) {
    return std::nullopt;
  }
  return f;
}

// Brings the window's right and bottom edges back within the screen.
void CorrectEdges(const QSizeF& screen, const TwipsRect& window, float& left,
                  float& top) {
  if (screen.isEmpty()) {
    return;
  }
  const float maxLeft = static_cast<float>(screen.width()) - window.width;
  if (maxLeft < left) {
    left = maxLeft;
  }
  const float maxTop = static_cast<float>(screen.height()) - window.height;
  if (maxTop < top) {
    top = maxTop;
  }
}

void MoveTo(QWidget& form, float left, float top) {
  const QPoint target(static_cast<int>(std::lround(left / kTwipsPerPixel)),
                      static_cast<int>(std::lround(top / kTwipsPerPixel)));
  if (target != form.pos()) {
    form.move(target);
  }
}

}  // namespace

void Form_Load(FrmPentrax2& form, SettingsStore& store) {
  // The preset tables are constants of the sizing logic, and the window
  // starts with an empty ledger.
  SelectOption(store, kSelectedResolution, kCustomPreset, form.optRes);
  LoadField(store, kCustomWidth,
            FrmPentrax2::Tag(form.txtBreit).isEmpty()
                ? kFirstCustomWidth
                : FrmPentrax2::Tag(form.txtBreit),
            form.txtBreit);
  LoadField(store, kCustomHeight,
            FrmPentrax2::Tag(form.txtHoch).isEmpty()
                ? kFirstCustomHeight
                : FrmPentrax2::Tag(form.txtHoch),
            form.txtHoch);
  LoadCheckBox(store, kAddBorder, form.chkBorder);
  LoadTextField(store, kBorder, form.txtBorder);
  LoadCheckBox(store, kSubtractTaskBar, form.chkTask);
  LoadTextField(store, kTaskBar, form.txtTask);
  SelectOption(store, kTaskBarOrientation, 1, form.optTask);

  const TwipsRect window = WindowInTwips(form);
  const QRect desktop =
      QGuiApplication::primaryScreen() != nullptr
          ? QGuiApplication::primaryScreen()->virtualGeometry()
          : QRect();
  float left = Coordinate(store.Read(kPosLeft, Text(window.left)), window.width,
                          static_cast<float>(desktop.left() * kTwipsPerPixel))
                   .value_or(window.left);
  float top = Coordinate(store.Read(kPosTop, Text(window.top)), window.height,
                         static_cast<float>(desktop.top() * kTwipsPerPixel))
                  .value_or(window.top);
  CorrectEdges(ScreenInTwips(), window, left, top);
  MoveTo(form, left, top);
}

void KeepOnScreen(FrmPentrax2& form) {
  const TwipsRect window = WindowInTwips(form);
  float left = window.left;
  float top = window.top;
  CorrectEdges(ScreenInTwips(), window, left, top);
  MoveTo(form, left, top);
}

void Form_Unload(FrmPentrax2& form, SettingsStore& store) {
  const TwipsRect window = WindowInTwips(form);
  store.Write(kSelectedResolution, QString::number(form.SelectedPreset));
  store.Write(kCustomWidth, form.txtBreit->text());
  store.Write(kCustomHeight, form.txtHoch->text());
  store.Write(kAddBorder, QString::number(form.chkBorder->value()));
  store.Write(kBorder, form.txtBorder->text());
  store.Write(kSubtractTaskBar, QString::number(form.chkTask->value()));
  store.Write(kTaskBar, form.txtTask->text());
  store.Write(kTaskBarOrientation, form.optTask[0]->isChecked()
                                       ? QStringLiteral("0")
                                       : QStringLiteral("1"));
  store.Write(kPosLeft, Text(window.left));
  store.Write(kPosTop, Text(window.top));
  store.Flush();
}

void cmdRestoreDefaults_Click(FrmPentrax2& form) {
  for (QLineEdit* field : {static_cast<QLineEdit*>(form.txtBreit),
                           static_cast<QLineEdit*>(form.txtHoch)}) {
    const double n = std::fabs(Number(field->text()));
    field->setText(Text(std::isfinite(n) ? n : 0));
  }
  form.chkBorder->setValue(
      WholeNumberIn(FrmPentrax2::Tag(form.chkBorder), 0, 2).value_or(1));
  form.txtBorder->setText(FrmPentrax2::Tag(form.txtBorder));
  form.chkTask->setValue(
      WholeNumberIn(FrmPentrax2::Tag(form.chkTask), 0, 2).value_or(1));
  form.txtTask->setText(FrmPentrax2::Tag(form.txtTask));
  form.optRes[0]->setChecked(true);
  form.optTask[0]->setChecked(true);
}

}  // namespace pentrax::settings
