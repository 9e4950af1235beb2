// The main window on Windows: native controls built from the layout table,
// drawn from the model's state and forwarding the user's events to it, the
// two timers (SetTimer), the message box, and the window's place on its
// monitors. Per-monitor DPI aware: the layout is scaled to the DPI of the
// window's monitor, and laid out again when the window moves to a monitor
// with another.
#pragma once

#include <windows.h>

#include <array>

#include "controls.h"
#include "form_view.h"
#include "frm_pentrax2.h"
#include "layout.h"

namespace pentrax::ui {

// The dialog item id of a control (GetDlgItem), for whoever looks at the
// window from outside.
inline constexpr int kFirstItemId = 100;
constexpr int ItemId(ControlId id) { return kFirstItemId + id; }

class Win32FormView final : public FormView {
 public:
  // Creates the window, not shown yet, with every control of the layout
  // table in its initial state. Its icon is the program's icon resource,
  // when there is one.
  explicit Win32FormView(HINSTANCE instance);
  ~Win32FormView() override;
  Win32FormView(const Win32FormView&) = delete;
  Win32FormView& operator=(const Win32FormView&) = delete;

  // Draws the model and forwards events to it from now on; Timer1 starts.
  // The model must outlive the view's use of it.
  void Bind(FrmPentrax2& model);
  void Show(int showCommand);
  // Runs the thread's messages until the window is closed; returns the exit
  // code.
  int Run();

  HWND Window() const { return window_; }
  HWND Control(ControlId id) const { return controls_[id]; }

  // FormView
  void ControlChanged(ControlId id) override;
  void StartTimer2(int intervalMs) override;
  void StopTimer2() override;
  void ShowMessageBox(std::string_view text, std::string_view title) override;
  void MoveWindow(Point topLeft) override;
  WindowHandle OwnWindow() override;
  Rect WindowRect() override;
  Screens ReadScreens() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam);
  static LRESULT CALLBACK NumberBoxProc(HWND box, UINT message, WPARAM wParam,
                                        LPARAM lParam, UINT_PTR,
                                        DWORD_PTR view);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(ControlId id, int code);
  void SelectAsTold(ControlId id);
  void Layout(UINT dpi);
  void AddToolTips();

  AccessibleNames names_;  // first: made before the controls, gone after
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  HFONT windowFont_ = nullptr;
  std::array<HFONT, kControlCount> ownFonts_{};  // null: the window's font
  HWND focus_ = nullptr;  // the control that had the focus
  FrmPentrax2* model_ = nullptr;
  bool writing_ = false;  // the view sets a control: no events back
};

}  // namespace pentrax::ui
