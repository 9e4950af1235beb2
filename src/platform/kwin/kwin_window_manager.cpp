#include "kwin_window_manager.h"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "kwin_channel.h"
#include "kwin_window_state.h"
#include "utf8_cut.h"

namespace pentrax {
namespace {

// How long a placement may take: a Wayland client takes its new size when
// it next draws.
constexpr auto kPlaceDeadline = std::chrono::milliseconds(1000);
constexpr auto kPollInterval = std::chrono::milliseconds(1);

}  // namespace

KWinWindowManager::KWinWindowManager(std::unique_ptr<KWinChannel> channel)
    : channel_(std::move(channel)) {}

KWinWindowManager::~KWinWindowManager() = default;

std::unique_ptr<KWinWindowManager> KWinWindowManager::Connect(
    std::string* error) {
  auto channel = KWinChannel::Open(error);
  if (!channel) {
    return nullptr;
  }
  return std::unique_ptr<KWinWindowManager>(
      new KWinWindowManager(std::move(channel)));
}

std::optional<KWinWindow> KWinWindowManager::Answered(
    const std::string& request) {
  const auto answer = channel_->Ask(request);
  return answer ? WindowOfAnswer(*answer) : std::nullopt;
}

std::optional<KWinWindow> KWinWindowManager::Read(WindowHandle window) {
  const auto uuid = handles_.UuidOf(window);
  return uuid ? Answered(ReadWindowRequest(*uuid)) : std::nullopt;
}

WindowHandle KWinWindowManager::GetForegroundWindow() {
  const auto active = Answered(ActiveWindowRequest());
  return active ? handles_.HandleOf(active->uuid) : 0;
}

int KWinWindowManager::GetWindowPlacement(WindowHandle window,
                                          WindowPlacement& placement) {
  const auto w = Read(window);
  if (!w) {
    return 0;
  }
  placement = WindowPlacement{};
  placement.showCmd = ShowStateOf(*w);
  placement.rcNormalPosition = w->frame;
  const auto placed = maximisedFrom_.find(window);
  if (placed != maximisedFrom_.end()) {
    if (placement.showCmd == kShowMaximized) {
      placement.rcNormalPosition = placed->second;
    } else {
      maximisedFrom_.erase(placed);
    }
  }
  return 1;
}

int KWinWindowManager::SetWindowPlacement(WindowHandle window,
                                          const WindowPlacement& placement) {
  const auto uuid = handles_.UuidOf(window);
  if (!uuid) {
    return 0;
  }
  const Rect& normal = placement.rcNormalPosition;
  const auto placed = Answered(
      PlaceWindowRequest(*uuid, normal, ShowOfPlacement(placement.showCmd)));
  if (!placed) {
    return 0;
  }
  maximisedFrom_.erase(window);
  if (placement.showCmd == kShowMaximized) {
    maximisedFrom_[window] = normal;
  }
  // Wait until KWin and the client have carried it out, so that what is
  // read next is the outcome.
  const auto expected = FrameAfterPlacing(*placed, placement.showCmd, normal);
  if (expected) {
    const auto start = SettleWatch::Clock::now();
    SettleWatch watch(*expected, placed->frame, start);
    for (;;) {
      const auto w = Read(window);
      const auto now = SettleWatch::Clock::now();
      if (!w || watch.Settled(w->frame, now) || now - start >= kPlaceDeadline) {
        break;
      }
      std::this_thread::sleep_for(kPollInterval);
    }
  }
  return 1;
}

int KWinWindowManager::GetWindowText(WindowHandle window, char* buffer,
                                     int maxCount) {
  const auto w = Read(window);
  return CopyTitle(w ? w->caption : std::string(), buffer, maxCount);
}

bool KWinWindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  std::optional<Rect> area;
  if (handles_.UuidOf(window)) {
    const auto w = Read(window);
    area = w ? std::optional(w->area) : std::nullopt;
  } else {
    const auto answer = channel_->Ask(WorkAreaRequest());
    area = answer ? WorkAreaOfAnswer(*answer) : std::nullopt;
  }
  if (area) {
    workArea = *area;
  }
  return area.has_value();
}

std::string KWinWindowManager::WindowIdentity(WindowHandle window) {
  const auto w = Read(window);
  return w ? std::to_string(w->pid) + " " + w->resourceClass : std::string();
}

bool KWinWindowManager::IsOwnProcessWindow(WindowHandle window) {
  const auto w = Read(window);
  return w && w->pid == getpid();
}

}  // namespace pentrax
