#include "controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace pentrax::ui {

CheckBox::CheckBox(QWidget* parent) : ForwardingButton<QCheckBox>(parent) {
  setTristate(true);
}

void CheckBox::SetValue(int value) {
  setCheckState(value == 0   ? Qt::Unchecked
                : value == 2 ? Qt::PartiallyChecked
                             : Qt::Checked);
}

void CheckBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect indicator =
      style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
  QStyleOptionButton box = option;
  box.rect = indicator;
  box.rect.moveTop((height() - indicator.height()) / 2);
  style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &painter, this);

  const int textLeft =
      indicator.right() + 1 +
      style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
  const QRect textRect(textLeft, 0, width() - textLeft, height());
  constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
  // Fonts differ from system to system: a caption that would not fit the
  // box is drawn a little smaller rather than cut off.
  QFont captionFont = font();
  while (captionFont.pointSizeF() > 6) {
    const QRect needed =
        QFontMetrics(captionFont).boundingRect(textRect, kFlags, text());
    if (needed.height() <= textRect.height() &&
        needed.width() <= textRect.width()) {
      break;
    }
    captionFont.setPointSizeF(captionFont.pointSizeF() - 0.25);
  }
  painter.setFont(captionFont);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                      QPalette::WindowText));
  painter.drawText(textRect, kFlags, text());
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = painter.boundingRect(textRect, kFlags, text());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

bool CheckBox::hitButton(const QPoint& pos) const {
  return rect().contains(pos);
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
