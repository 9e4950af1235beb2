// The Qt controls the main window is built from. They draw the state the
// model gives them and forward the user's clicks and keys to it: a click
// does not change a control by itself; the model decides and the view then
// draws the new state.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <utility>

namespace pentrax::ui {

// A button whose click (mouse, Space, an arrow key within an option group)
// goes to onClick instead of toggling the button. The option group itself
// still unchecks the button it replaces.
template <typename Button>
class ForwardingButton : public Button {
 public:
  using Button::Button;
  std::function<void()> onClick;

 protected:
  void nextCheckState() override {
    if (this->isChecked() && this->autoExclusive()) {
      Button::nextCheckState();
    } else if (onClick) {
      onClick();
    }
  }
};

// A push-style check box: drawn as a button that stays down while its value
// is 1.
using PushCheckBox = ForwardingButton<QPushButton>;

// An option button or a check box (QRadioButton or QCheckBox), its caption
// as close to its indicator as the layout leaves room for (the layout is
// drawn for native controls, whose gap is narrower than Qt styles'). A
// check box's caption wraps onto further lines; a caption that does not fit
// is drawn a little smaller rather than cut off (fonts differ from system to
// system). A click anywhere on the control is a click on it.
template <typename Button>
class IndicatorButton : public ForwardingButton<Button> {
 public:
  using ForwardingButton<Button>::ForwardingButton;

  // Where the caption is drawn, and the flags it is drawn with.
  QRect CaptionRect() const;
  static int CaptionFlags();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override {
    return this->rect().contains(pos);
  }

 private:
  QRect IndicatorRect() const;
};

using OptionButton = IndicatorButton<QRadioButton>;

// A check box with a third, grayed state.
class CheckBox : public IndicatorButton<QCheckBox> {
 public:
  explicit CheckBox(QWidget* parent);
  void SetValue(int value);  // 0, 1 or 2
};

// A one-line text box for a whole number of pixels: every key press that
// produces a character code passes acceptsKey first, and the focus selects
// what selectionOnFocus says (the whole text).
class NumberBox : public QLineEdit {
 public:
  explicit NumberBox(QWidget* parent);

  std::function<bool(int characterCode)> acceptsKey;
  std::function<std::pair<int, int>()> selectionOnFocus;  // start, length

  // The character code a key press would insert (0 to 255 and beyond), or -1
  // for a key that produces none (arrows, Home, End, Delete, Tab...).
  static int CharacterCode(const QKeyEvent& event);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void SelectAsTold();
  bool selectOnPress_ = false;
};

}  // namespace pentrax::ui
