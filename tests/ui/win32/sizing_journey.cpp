// The sizing journey's program: the real Win32 view and model over the
// Win32 backend, acting on target windows that this program owns on a
// second thread, because Wine lets SetWindowPlacement act only on the
// calling process's windows. The backend is told that only the view's
// thread holds Pentrax's own windows, so the targets stand for other
// programs. The test drives it from outside with real clicks; the owner
// prints every change of a target's rectangle, as it reads it, on standard
// output: "TITLE LEFT TOP RIGHT BOTTOM zoomed=N".
#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextW; the backend's
// operation keeps its name.
#undef GetWindowText

#include <cstdint>
#include <cstdio>
#include <future>
#include <thread>

#include "frm_pentrax2.h"
#include "wide_text.h"
#include "win32_form_view.h"
#include "win32_window_manager.h"

namespace {

struct Target {
  const wchar_t* title;
  RECT rect;
  int show;
};

constexpr Target kTargets[] = {
    {L"Journey A", {200, 100, 600, 400}, SW_SHOWNORMAL},
    {L"Journey B", {120, 80, 520, 380}, SW_SHOWMAXIMIZED},
    {L"Journey C", {700, 120, 900, 300}, SW_SHOWNORMAL},
};

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGED) {
    RECT r = {};
    GetWindowRect(window, &r);
    std::printf("%s %ld %ld %ld %ld zoomed=%d\n",
                pentrax::Utf8(pentrax::WindowText(window)).c_str(), r.left,
                r.top, r.right, r.bottom, IsZoomed(window) ? 1 : 0);
    std::fflush(stdout);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RunTargets(std::promise<DWORD>& ready) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = TargetProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"PentraxJourneyTarget";
  RegisterClassW(&windowClass);
  for (const Target& t : kTargets) {
    HWND window = CreateWindowExW(
        0, windowClass.lpszClassName, t.title, WS_OVERLAPPEDWINDOW, t.rect.left,
        t.rect.top, t.rect.right - t.rect.left, t.rect.bottom - t.rect.top,
        nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, t.show);
  }
  ready.set_value(GetCurrentThreadId());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
}

class TargetsAreOthers final : public pentrax::Win32WindowManager {
 public:
  bool IsOwnProcessWindow(pentrax::WindowHandle window) override {
    const auto hwnd =
        reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
    return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
  }
};

}  // namespace

int main() {
  std::promise<DWORD> ready;
  std::thread targets(RunTargets, std::ref(ready));
  const DWORD targetsThread = ready.get_future().get();

  TargetsAreOthers wm;
  pentrax::ui::Win32FormView view(GetModuleHandleW(nullptr));
  pentrax::ui::FrmPentrax2 form(wm, view);
  view.Bind(form);
  view.Show(SW_SHOWNORMAL);
  const int status = view.Run();

  PostThreadMessageW(targetsThread, WM_QUIT, 0, 0);
  targets.join();
  return status;
}
