#include "qt_form_view.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <map>

#include "controls.h"

namespace pentrax::ui {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect Pixels(const TwipsRect& r) {
  return {r.left / kTwipsPerPixel, r.top / kTwipsPerPixel,
          r.width / kTwipsPerPixel, r.height / kTwipsPerPixel};
}

Rect FromQRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

Qt::Alignment ToQt(Align align) {
  switch (align) {
    case Align::kCenter:
      return Qt::AlignHCenter;
    case Align::kRight:
      return Qt::AlignRight;
    case Align::kLeft:
      break;
  }
  return Qt::AlignLeft;
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

QWidget* MakeWidget(const ControlLayout& row, QWidget* parent) {
  const QString caption = ToQString(row.caption);
  switch (row.kind) {
    case ControlKind::kLabel: {
      auto* label = new QLabel(caption, parent);
      label->setAlignment(ToQt(row.align) | Qt::AlignTop);
      return label;
    }
    case ControlKind::kFrame:
      return new QGroupBox(caption, parent);
    case ControlKind::kOption:
      return new OptionButton(caption, parent);
    case ControlKind::kCheckBox: {
      auto* box = new CheckBox(parent);
      box->setText(caption);
      // It lies across the top edge of a frame and covers the frame's line.
      box->setAutoFillBackground(true);
      return box;
    }
    case ControlKind::kPushCheckBox: {
      auto* button = new PushCheckBox(caption, parent);
      button->setCheckable(true);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::kCommandButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::kTextBox:
      break;
  }
  if (row.locked) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                 Qt::TextSelectableByKeyboard);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
    return box;
  }
  auto* box = new NumberBox(parent);
  box->setMaxLength(row.maxLength > 0 ? row.maxLength : 32767);
  box->setAlignment(ToQt(row.align) | Qt::AlignVCenter);
  return box;
}

}  // namespace

QtFormView::QtFormView()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("frmPentrax2"));
  setWindowTitle(ToQString(kWindowCaption));
  setWindowIcon(MakeIcon());
  setFixedSize(Pixels({0, 0, kClientWidth, kClientHeight}).size());
  QFont font(ToQString(kWindowFontFamily));
  font.setPointSizeF(kWindowFontPoints);
  setFont(font);
  Build();
  timer1_.setInterval(kTimer1Interval);
  timer2_.setSingleShot(true);
}

void QtFormView::Build() {
  std::map<ControlId, QButtonGroup*> groups;
  for (const ControlLayout& row : kLayout) {
    QWidget* parent =
        row.container == kClientArea ? this : widgets_[row.container];
    QWidget* widget = MakeWidget(row, parent);
    widget->setObjectName(ToQString(row.name));
    widget->setGeometry(Pixels(row.rect));
    widget->setToolTip(ToQString(row.toolTip));
    if (!row.accessibleName.empty()) {
      widget->setAccessibleName(ToQString(row.accessibleName));
    }
    if (!row.font.family.empty()) {
      QFont font(ToQString(row.font.family));
      font.setPointSizeF(row.font.points);
      font.setBold(row.font.bold);
      font.setUnderline(row.font.underline);
      widget->setFont(font);
    }
    if (row.textColour) {
      QPalette palette = widget->palette();
      const Rgb c = *row.textColour;
      palette.setColor(QPalette::ButtonText, QColor(c.red, c.green, c.blue));
      widget->setPalette(palette);
    }
    if (row.kind == ControlKind::kOption) {
      QButtonGroup*& group = groups[row.container];
      if (group == nullptr) {
        group = new QButtonGroup(this);
      }
      group->addButton(static_cast<QAbstractButton*>(widget), row.index);
    }
    widgets_[row.id] = widget;
  }
  // Tab order of the table; each option group is one stop.
  std::array<const ControlLayout*, kControlCount> order;
  std::transform(kLayout.begin(), kLayout.end(), order.begin(),
                 [](const ControlLayout& row) { return &row; });
  std::sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
    return a->tabIndex < b->tabIndex;
  });
  QWidget* previous = nullptr;
  for (const ControlLayout* row : order) {
    QWidget* widget = widgets_[row->id];
    if (widget->focusPolicy() == Qt::NoFocus) {
      continue;
    }
    if (previous != nullptr) {
      setTabOrder(previous, widget);
    }
    previous = widget;
  }
}

void QtFormView::Bind(FrmPentrax2& model) {
  model_ = &model;
  for (const ControlLayout& row : kLayout) {
    Connect(row.id);
    ControlChanged(row.id);
  }
  connect(&timer1_, &QTimer::timeout, this, [this] { model_->Timer1_Timer(); });
  connect(&timer2_, &QTimer::timeout, this, [this] { model_->Timer2_Timer(); });
  // A logout may end the program without closing its window.
  connect(qApp, &QGuiApplication::commitDataRequest, this,
          [this] { model_->SessionEnding(); });
  timer1_.start();
}

void QtFormView::Connect(ControlId id) {
  QWidget* widget = widgets_[id];
  const auto click = [this, id] { model_->Click(id); };
  if (auto* option = dynamic_cast<OptionButton*>(widget)) {
    option->onClick = click;
  } else if (auto* box = dynamic_cast<CheckBox*>(widget)) {
    box->onClick = click;
  } else if (auto* push = dynamic_cast<PushCheckBox*>(widget)) {
    push->onClick = click;
  } else if (auto* number = dynamic_cast<NumberBox*>(widget)) {
    number->acceptsKey = [this, id](int code) {
      return model_->KeyPress(id, code);
    };
    number->selectionOnFocus = [this, id] {
      const Selection s = model_->GotFocus(id);
      return std::pair(s.start, s.length);
    };
    connect(number, &QLineEdit::textEdited, this,
            [this, id](const QString& text) {
              model_->TextEdited(id, text.toStdString());
            });
  } else if (auto* button = dynamic_cast<QPushButton*>(widget)) {
    connect(button, &QPushButton::clicked, this, click);
  }
}

void QtFormView::ControlChanged(ControlId id) {
  if (model_ == nullptr) {
    return;
  }
  const Control& control = (*model_)[id];
  QWidget* widget = widgets_[id];
  const QSignalBlocker blocker(widget);
  widget->setEnabled(control.enabled);
  const QString text = ToQString(control.text);
  if (auto* label = dynamic_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* frame = dynamic_cast<QGroupBox*>(widget)) {
    frame->setTitle(text);
  } else if (auto* box = dynamic_cast<CheckBox*>(widget)) {
    box->SetValue(control.value);
  } else if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
    button->setText(text);
    button->setChecked(control.value == 1);
  } else if (auto* number = dynamic_cast<NumberBox*>(widget)) {
    if (number->text() != text) {
      number->setText(text);
    }
  } else if (auto* result = dynamic_cast<QPlainTextEdit*>(widget)) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (result->toPlainText() != shown) {
      result->setPlainText(shown);
    }
  }
}

void QtFormView::StartTimer2(int intervalMs) {
  timer2_.setInterval(intervalMs);
  timer2_.start();
}

void QtFormView::ShowMessageBox(std::string_view text, std::string_view title) {
  // Shown as plain text: line breaks as they are, and the indenting blanks
  // kept (a label would fold runs of blanks).
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QStringLiteral("    "), QString(4, QChar(0x00A0)));
  QMessageBox box(QMessageBox::Information, ToQString(title), shown,
                  QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtFormView::MoveWindow(Point topLeft) { move(topLeft.x, topLeft.y); }

WindowHandle QtFormView::OwnWindow() {
  return static_cast<WindowHandle>(winId());
}

Rect QtFormView::WindowRect() { return FromQRect(frameGeometry()); }

Screens QtFormView::ReadScreens() {
  Screens s;
  if (const QScreen* monitor = screen()) {
    const qreal ratio = monitor->devicePixelRatio();
    s.width = monitor->size().width() * ratio;
    s.height = monitor->size().height() * ratio;
    s.monitor = FromQRect(monitor->geometry());
  }
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    s.primary = FromQRect(primary->geometry());
    s.desktop = FromQRect(primary->virtualGeometry());
  }
  return s;
}

void QtFormView::closeEvent(QCloseEvent* event) {
  if (model_ != nullptr) {
    model_->Close();  // closing is never cancelled
  }
  event->accept();
}

}  // namespace pentrax::ui
