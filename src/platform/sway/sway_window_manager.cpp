#include "sway_window_manager.h"

#include <cstdlib>

#include "box_rect.h"
#include "pentrax_process.h"
#include "utf8_cut.h"

namespace pentrax {
namespace {

using Clock = std::chrono::steady_clock;

// How long a reading of the tree serves the calls that follow it: the calls
// of one action come within microseconds of each other.
constexpr std::chrono::milliseconds kReuseLayout{5};

std::string SocketPath(const char* given) {
  if (given != nullptr && *given != '\0') {
    return given;
  }
  const char* env = std::getenv("SWAYSOCK");
  return env != nullptr ? env : "";
}

}  // namespace

bool SwaySessionAnswers(const char* socketPath) {
  auto ipc = SwayIpc::Open(SocketPath(socketPath), nullptr);
  return ipc && ipc->Request(SwayMessage::kGetVersion).has_value();
}

std::unique_ptr<SwayWindowManager> SwayWindowManager::Connect(
    const std::string& socketPath, std::string* error) {
  auto ipc = SwayIpc::Open(SocketPath(socketPath.c_str()), error);
  if (!ipc) {
    return nullptr;
  }
  const auto version = ipc->Request(SwayMessage::kGetVersion);
  if (!version || !version->is_object()) {
    if (error != nullptr) {
      *error = "sway does not answer at " + SocketPath(socketPath.c_str());
    }
    return nullptr;
  }
  return std::unique_ptr<SwayWindowManager>(
      new SwayWindowManager(std::move(ipc)));
}

const SwayLayout* SwayWindowManager::Layout(bool fresh) {
  const auto now = Clock::now();
  if (!fresh && layout_ && now - layoutAt_ < kReuseLayout) {
    answered_ = true;
    return &*layout_;
  }
  layout_.reset();
  const auto tree = ipc_->Request(SwayMessage::kGetTree);
  answered_ = tree.has_value();
  if (tree) {
    layout_ = ReadLayout(*tree);
    layoutAt_ = now;
  }
  return layout_ ? &*layout_ : nullptr;
}

bool SwayWindowManager::Run(const std::string& command) {
  layout_.reset();
  const auto reply = ipc_->Request(SwayMessage::kRunCommand, command);
  answered_ = reply.has_value();
  if (!reply || !reply->is_array() || reply->empty()) {
    return false;
  }
  for (const auto& result : *reply) {
    if (!result.is_object() || !result.value("success", false)) {
      return false;
    }
  }
  return true;
}

WindowHandle SwayWindowManager::GetForegroundWindow() {
  const SwayLayout* layout = Layout(true);
  const SwayView* focused = layout != nullptr ? layout->Focused() : nullptr;
  return focused != nullptr ? focused->id : 0;
}

int SwayWindowManager::GetWindowPlacement(WindowHandle window,
                                          WindowPlacement& placement) {
  const SwayView* v = View(window);
  if (v == nullptr) {
    return 0;
  }
  placement.length = kPlacementLength;
  placement.showCmd = ShowStateOf(*v);
  placement.rcNormalPosition = v->outer;
  return 1;
}

int SwayWindowManager::SetWindowPlacement(WindowHandle window,
                                          const WindowPlacement& placement) {
  const SwayLayout* layout = Layout();
  const SwayView* v = layout != nullptr ? layout->Find(window) : nullptr;
  if (v == nullptr) {
    return 0;
  }
  const auto known = tiledPlaces_.find(window);
  const SwayTiledPlace* place =
      known != tiledPlaces_.end() ? &known->second : nullptr;
  switch (placement.showCmd) {
    case kShowMinimized:
      // At its normal rectangle first, which the scratchpad keeps for when
      // it is shown again.
      if (!v->hidden) {
        const WindowHandle id = v->id;
        return FloatAt(*v, placement.rcNormalPosition) > 0 &&
                       Run("[con_id=" + std::to_string(id) +
                           "] move scratchpad")
                   ? 1
                   : 0;
      }
      return 1;
    case kShowMaximized:
    case kShowFullscreen: {
      const std::string command =
          ShowStateCommand(*v, placement.showCmd, place, *layout);
      return command.empty() || Run(command) ? 1 : 0;
    }
    default:
      return FloatAt(*v, placement.rcNormalPosition);
  }
}

// The view is a copy: sending a command drops the layout it came from.
int SwayWindowManager::FloatAt(SwayView view, const Rect& outer) {
  const WindowHandle id = view.id;
  if (!view.floating) {
    tiledPlaces_[id] = TiledPlaceOf(view);
  }
  if (!Run(FloatAtCommand(view, outer))) {
    return 0;
  }
  // sway's tree shows the rectangle asked for at once; the client answers
  // with the size it takes a little later.
  const auto settled = PollUntilSettled(
      [&]() -> std::optional<Rect> {
        const SwayLayout* now = Layout(true);
        const SwayView* v = now != nullptr ? now->Find(id) : nullptr;
        return v != nullptr ? std::optional(v->outer) : std::nullopt;
      },
      outer, std::nullopt, !view.floating || view.fullscreen || view.hidden,
      SettleTiming{});
  return settled ? 1 : 0;
}

int SwayWindowManager::GetWindowText(WindowHandle window, char* buffer,
                                     int maxCount) {
  const SwayView* v = View(window);
  return CopyTitle(v != nullptr ? v->name : "", buffer, maxCount);
}

bool SwayWindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  const SwayLayout* layout = Layout();
  if (layout != nullptr) {
    workArea = layout->ShownOn(window).workArea;
  }
  return layout != nullptr;
}

bool SwayWindowManager::GetMonitor(WindowHandle window, Rect& monitor) {
  const SwayLayout* layout = Layout();
  if (layout != nullptr) {
    monitor = layout->ShownOn(window).monitor;
  }
  return layout != nullptr;
}

std::optional<Insets> SwayWindowManager::GetFrameInsets(WindowHandle window) {
  const SwayView* v = View(window);
  if (v == nullptr) {
    return std::nullopt;
  }
  return InsetsBetween(v->outer, v->content);
}

std::vector<WindowHandle> SwayWindowManager::ListWindows() {
  std::vector<WindowHandle> windows;
  if (const SwayLayout* layout = Layout(true)) {
    for (const SwayView& v : layout->views) {
      if (!IsPentraxProcess(v.pid)) {
        windows.push_back(v.id);
      }
    }
  }
  return windows;
}

std::string SwayWindowManager::WindowIdentity(WindowHandle window) {
  const SwayView* v = View(window);
  if (v == nullptr) {
    return "";
  }
  return std::to_string(v->pid) + (v->xwayland ? " x11 " : " ") + v->appId;
}

std::string SwayWindowManager::NotAnswering() {
  return answered_ ? "" : "sway";
}

std::string SwayWindowManager::PlacementDetail(WindowHandle window) {
  const auto it = tiledPlaces_.find(window);
  return it != tiledPlaces_.end() ? TiledPlaceDetail(it->second) : "";
}

void SwayWindowManager::TakePlacementDetail(WindowHandle window,
                                            std::string_view detail) {
  if (const auto place = TiledPlaceOfDetail(detail)) {
    tiledPlaces_[window] = *place;
  }
}

bool SwayWindowManager::IsOwnProcessWindow(WindowHandle window) {
  const SwayView* v = View(window);
  return v != nullptr && IsPentraxProcess(v->pid);
}

}  // namespace pentrax
