// The kinds of control the main window is built from, with the value
// conventions the handlers rely on: a change of value, whoever makes it, is
// signalled at once, and setting the value a control already holds signals
// nothing.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>

namespace pentrax::ui {

// A check box whose Value is 0 (unchecked), 1 (checked) or 2 (grayed). A
// click of the user checks an unchecked box and unchecks a checked or grayed
// one; only code sets 2. The caption wraps onto further lines when it does not
// fit the box's width.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit CheckBox(const QString& caption, QWidget* parent = nullptr);
  int value() const;
  void setValue(int value);  // 0, 1 or 2; anything else counts as 1

 signals:
  void valueChanged();

 protected:
  void nextCheckState() override;
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
};

// A push-style check box: drawn as a button that stays down while its Value
// is 1 and comes up when it returns to 0; a click of the user toggles it.
class PushCheckBox : public QPushButton {
  Q_OBJECT
 public:
  explicit PushCheckBox(const QString& caption, QWidget* parent = nullptr);
  int value() const { return isChecked() ? 1 : 0; }
  void setValue(int value) { setChecked(value != 0); }

 signals:
  void valueChanged();
};

// A one-line text box for a whole number of pixels: at most 5 characters
// however the text arrives, its whole text selected when it gets the focus,
// and every key press that produces a character code passed through a filter
// that may discard it.
class NumberBox : public QLineEdit {
  Q_OBJECT
 public:
  static constexpr int kMaxLength = 5;
  using KeyFilter = void (*)(std::int16_t& keyAscii);

  NumberBox(const QString& text, Qt::Alignment alignment, KeyFilter filter,
            QWidget* parent = nullptr);

  // The character code a key press would insert (0 to 255 and beyond), or -1
  // for a key that produces none (arrows, Home, End, Delete, Tab...).
  static int CharacterCode(const QKeyEvent& event);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  KeyFilter filter_;
  bool selectOnPress_ = false;
};

}  // namespace pentrax::ui
