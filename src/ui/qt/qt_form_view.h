// The main window on Qt: widgets built from the layout table, drawn from the
// model's state and forwarding the user's events to it, the two timers, the
// message box, and the window's place on its screens.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>

#include "form_view.h"
#include "frm_pentrax2.h"
#include "layout.h"

namespace pentrax::ui {

class QtFormView final : public QWidget, public FormView {
 public:
  QtFormView();

  // Draws the model and forwards events to it from now on; Timer1 starts.
  // The model must outlive the view's use of it.
  void Bind(FrmPentrax2& model);

  QWidget* Widget(ControlId id) const { return widgets_.at(id); }
  QTimer& Timer1() { return timer1_; }
  QTimer& Timer2() { return timer2_; }

  // FormView
  void ControlChanged(ControlId id) override;
  void StartTimer2(int intervalMs) override;
  void StopTimer2() override { timer2_.stop(); }
  void ShowMessageBox(std::string_view text, std::string_view title) override;
  void MoveWindow(Point topLeft) override;
  WindowHandle OwnWindow() override;
  Rect WindowRect() override;
  Screens ReadScreens() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  void Connect(ControlId id);

  FrmPentrax2* model_ = nullptr;
  std::array<QWidget*, kControlCount> widgets_{};
  QTimer timer1_;
  QTimer timer2_;
};

}  // namespace pentrax::ui
