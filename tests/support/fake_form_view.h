// A view in memory: the screens and the window the test sets.
#pragma once

#include <vector>

#include "form_view.h"

namespace pentrax::testing {

class FakeFormView : public ui::FormView {
 public:
  ui::Screens screens{
      1280, 1024, {0, 0, 1280, 1024}, {0, 0, 1280, 1024}, {0, 0, 1280, 1024}};
  Rect window{100, 100, 453, 485};  // outer, 353 x 385
  int timer2 = 0;                   // the interval while Timer2 runs, else 0
  std::vector<ui::ControlId> changes;

  void ControlChanged(ui::ControlId id) override { changes.push_back(id); }
  void StartTimer2(int intervalMs) override { timer2 = intervalMs; }
  void StopTimer2() override { timer2 = 0; }
  void ShowMessageBox(std::string_view, std::string_view) override {}
  void MoveWindow(Point p) override {
    window = {p.x, p.y, p.x + window.width(), p.y + window.height()};
  }
  WindowHandle OwnWindow() override { return 100; }
  Rect WindowRect() override { return window; }
  ui::Screens ReadScreens() override { return screens; }
};

}  // namespace pentrax::testing
