#include "x11_window_manager.h"

#include "backend.h"
#include "utf8_cut.h"
#include "window_list.h"

namespace pentrax {
namespace {

xcb_window_t Id(WindowHandle window) {
  return static_cast<xcb_window_t>(window);
}

}  // namespace

X11WindowManager::X11WindowManager(std::unique_ptr<x11::Backend> backend)
    : b_(std::move(backend)) {}

X11WindowManager::~X11WindowManager() = default;

std::unique_ptr<X11WindowManager> X11WindowManager::Connect(
    const char* displayName, std::string* error) {
  auto connection = x11::Connection::Open(displayName, error);
  if (!connection) {
    return nullptr;
  }
  return std::unique_ptr<X11WindowManager>(new X11WindowManager(
      std::make_unique<x11::Backend>(std::move(connection))));
}

WindowHandle X11WindowManager::GetForegroundWindow() {
  if (!b_->Begin()) {
    return 0;
  }
  const xcb_window_t w = b_->picker.Foreground();
  if (!b_->picker.clients().empty()) {
    b_->placer.KeepOnly(b_->picker.clients());
  }
  return w <= 0x7FFFFFFF ? static_cast<WindowHandle>(w) : 0;
}

int X11WindowManager::GetWindowPlacement(WindowHandle window,
                                         WindowPlacement& placement) {
  if (window <= 0 || !b_->Begin()) {
    return 0;
  }
  b_->wm.Check();
  const auto state = b_->reader.Read(Id(window));
  if (!state) {
    b_->placer.Forget(Id(window));
    return 0;
  }
  Rect outer = state->Outer();
  std::int32_t show = kShowNormal;
  if (state->minimised()) {
    show = kShowMinimized;
  } else if (state->fullscreen) {
    show = kShowFullscreen;
  } else if (state->maximised()) {
    show = kShowMaximized;
  }
  // The identity tells only for a window out of its normal state: in it, a
  // remembered rectangle is brought up to date whoever has the window.
  if (PlacedNormals& normals = b_->placer.normals();
      normals.Remembers(window)) {
    const std::string identity =
        show == kShowNormal ? "" : b_->properties.Identity(Id(window));
    outer = normals.NormalOf(window, identity, show, outer);
  }
  const Rect& origin = state->workArea;
  placement.length = kPlacementLength;
  placement.showCmd = show;
  placement.rcNormalPosition = {
      outer.left - origin.left, outer.top - origin.top,
      outer.right - origin.left, outer.bottom - origin.top};
  return 1;
}

int X11WindowManager::SetWindowPlacement(WindowHandle window,
                                         const WindowPlacement& placement) {
  if (window <= 0 || !b_->Begin()) {
    return 0;
  }
  return b_->placer.Place(Id(window), placement);
}

int X11WindowManager::GetWindowText(WindowHandle window, char* buffer,
                                    int maxCount) {
  const std::string title =
      window > 0 && b_->Begin() ? b_->properties.Title(Id(window)) : "";
  return CopyTitle(title, buffer, maxCount);
}

bool X11WindowManager::MonitorArea(WindowHandle window,
                                   Rect x11::MonitorAreas::Result::*which,
                                   Rect& rect) {
  if (!b_->Begin()) {
    return false;
  }
  const auto r = b_->areas.For(window > 0 ? Id(window) : XCB_NONE);
  if (!r) {
    return false;
  }
  // Placements are measured from _NET_WORKAREA's top-left corner.
  const Rect& origin = r->netWorkArea;
  const Rect& a = (*r).*which;
  rect = {a.left - origin.left, a.top - origin.top, a.right - origin.left,
          a.bottom - origin.top};
  return true;
}

bool X11WindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  return MonitorArea(window, &x11::MonitorAreas::Result::area, workArea);
}

bool X11WindowManager::GetMonitor(WindowHandle window, Rect& monitor) {
  return MonitorArea(window, &x11::MonitorAreas::Result::monitor, monitor);
}

std::optional<Insets> X11WindowManager::GetFrameInsets(WindowHandle window) {
  if (window <= 0 || !b_->Begin()) {
    return std::nullopt;
  }
  const auto state = b_->reader.Read(Id(window));
  if (!state) {
    return std::nullopt;
  }
  // The frame and the window's own X border; a client-side shadow is not
  // part of the window, a client-side title bar is its content.
  const x11::Extents& f = state->decoration.frame;
  const std::int32_t b = state->decoration.borderWidth;
  return Insets{f.left + b, f.top + b, f.right + b, f.bottom + b};
}

std::vector<WindowHandle> X11WindowManager::ListWindows() {
  std::vector<WindowHandle> windows;
  if (b_->Begin() && b_->wm.Check()) {
    for (const xcb_window_t w : x11::ActionableClients(b_->x)) {
      if (w <= 0x7FFFFFFF) {
        windows.push_back(static_cast<WindowHandle>(w));
      }
    }
  }
  return windows;
}

std::string X11WindowManager::WindowIdentity(WindowHandle window) {
  if (window <= 0 || !b_->Begin()) {
    return {};
  }
  return b_->properties.Identity(Id(window));
}

bool X11WindowManager::IsOwnProcessWindow(WindowHandle window) {
  return window > 0 && b_->Begin() && b_->properties.OwnProcess(Id(window));
}

std::string X11WindowManager::PlacementDetail(WindowHandle window) {
  return b_->placer.normals().Detail(window);
}

void X11WindowManager::TakePlacementDetail(WindowHandle window,
                                           std::string_view detail) {
  if (window > 0 && b_->Begin()) {
    b_->placer.normals().Take(window, b_->properties.Identity(Id(window)),
                              detail);
  }
}

void X11WindowManager::StartForegroundWatch() {
  if (b_->Begin()) {
    b_->picker.StartWatch();
  }
}

void X11WindowManager::StopForegroundWatch() {
  if (b_->Begin()) {
    b_->picker.StopListening();
  }
}

}  // namespace pentrax
