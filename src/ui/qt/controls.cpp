#include "controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <type_traits>

namespace pentrax::ui {

namespace {

// Pixels between an indicator and its caption.
constexpr int kCaptionGap = 2;

template <typename Button>
constexpr bool kIsCheckBox = std::is_base_of_v<QCheckBox, Button>;

}  // namespace

template <typename Button>
int IndicatorButton<Button>::CaptionFlags() {
  return Qt::AlignLeft | Qt::AlignVCenter |
         (kIsCheckBox<Button> ? Qt::TextWordWrap : 0);
}

template <typename Button>
QRect IndicatorButton<Button>::IndicatorRect() const {
  QStyleOptionButton option;
  this->initStyleOption(&option);
  QRect indicator = this->style()->subElementRect(
      kIsCheckBox<Button> ? QStyle::SE_CheckBoxIndicator
                          : QStyle::SE_RadioButtonIndicator,
      &option, this);
  indicator.moveTop((this->height() - indicator.height()) / 2);
  return indicator;
}

template <typename Button>
QRect IndicatorButton<Button>::CaptionRect() const {
  const int left = IndicatorRect().right() + 1 + kCaptionGap;
  return {left, 0, this->width() - left, this->height()};
}

template <typename Button>
void IndicatorButton<Button>::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionButton box;
  this->initStyleOption(&box);
  box.rect = IndicatorRect();
  QStyle& style = *this->style();
  style.drawPrimitive(kIsCheckBox<Button> ? QStyle::PE_IndicatorCheckBox
                                          : QStyle::PE_IndicatorRadioButton,
                      &box, &painter, this);

  const QRect textRect = CaptionRect();
  const int flags = CaptionFlags();
  QFont captionFont = this->font();
  while (captionFont.pointSizeF() > 6) {
    const QRect needed =
        QFontMetrics(captionFont).boundingRect(textRect, flags, this->text());
    if (textRect.contains(needed)) {
      break;
    }
    captionFont.setPointSizeF(captionFont.pointSizeF() - 0.25);
  }
  painter.setFont(captionFont);
  painter.setPen(this->palette().color(
      this->isEnabled() ? QPalette::Active : QPalette::Disabled,
      QPalette::WindowText));
  painter.drawText(textRect, flags, this->text());
  if (this->hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = painter.boundingRect(textRect, flags, this->text());
    style.drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

template class IndicatorButton<QRadioButton>;
template class IndicatorButton<QCheckBox>;

CheckBox::CheckBox(QWidget* parent) : IndicatorButton<QCheckBox>(parent) {
  setTristate(true);
}

void CheckBox::SetValue(int value) {
  setCheckState(value == 0   ? Qt::Unchecked
                : value == 2 ? Qt::PartiallyChecked
                             : Qt::Checked);
}

NumberBox::NumberBox(QWidget* parent) : QLineEdit(parent) {
  // Composed input would reach the box without passing the key filter.
  setAttribute(Qt::WA_InputMethodEnabled, false);
}

int NumberBox::CharacterCode(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    default:
      break;
  }
  const Qt::KeyboardModifiers mods = event.modifiers();
  if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) &&
      event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
    return event.key() - Qt::Key_A + 1;  // Ctrl+A is 1, Ctrl+Z is 26
  }
  const QString text = event.text();
  if (text.isEmpty()) {
    return -1;
  }
  const char16_t c = text.at(0).unicode();
  // Delete brings 127 on some systems; it carries no character.
  return c == 127 || (c < 32 && c != 3 && c != 22 && c != 24) ? -1 : c;
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
  const int code = CharacterCode(*event);
  if (code >= 0 && acceptsKey && !acceptsKey(code)) {
    event->accept();  // discarded: no character, no editing command
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void NumberBox::SelectAsTold() {
  if (selectionOnFocus) {
    const auto [start, length] = selectionOnFocus();
    setSelection(start, length);
  }
}

void NumberBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  SelectAsTold();
  selectOnPress_ = event->reason() == Qt::MouseFocusReason;
}

void NumberBox::mousePressEvent(QMouseEvent* event) {
  QLineEdit::mousePressEvent(event);
  if (selectOnPress_) {
    // The click that brought the focus keeps the selection.
    selectOnPress_ = false;
    SelectAsTold();
  }
}

}  // namespace pentrax::ui
