#include "kwin_window_manager.h"

#include <algorithm>
#include <chrono>

#include "box_rect.h"
#include "kwin_channel.h"
#include "kwin_window_state.h"
#include "pentrax_process.h"
#include "settle_poll.h"
#include "utf8_cut.h"
#include "x11_frame_extents.h"

namespace pentrax {
namespace {

// A Wayland client takes its new size when it next draws: a placement may
// take up to a second; a client that stops short of the size asked for has
// answered once its frame has stayed the same for 100 ms.
SettleTiming PlaceTiming() {
  using std::chrono::milliseconds;
  SettleTiming t;
  t.quietWithoutChange = t.quietAfterStateChange = t.limit = milliseconds(1000);
  t.quietAfterChange = milliseconds(100);
  t.interval = milliseconds(1);
  t.longestInterval = milliseconds(16);
  return t;
}

std::string IdentityOf(const KWinWindow& w) {
  return std::to_string(w.pid) + " " + w.resourceClass;
}

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

std::optional<std::string> KWinWindowManager::Ask(const std::string& request) {
  auto answer = channel_->Ask(request);
  answered_ = answer.has_value();
  return answer;
}

std::optional<KWinWindow> KWinWindowManager::Answered(
    const std::string& request) {
  const auto answer = Ask(request);
  return answer ? WindowOfAnswer(*answer) : std::nullopt;
}

std::vector<WindowHandle> KWinWindowManager::Listed(bool all) {
  const auto answer = Ask(ListRequest(all));
  const std::vector<std::string> uuids =
      answer ? WindowsOfAnswer(*answer) : std::vector<std::string>{};
  if (all && answer) {
    handles_.NoteAll(uuids);
  } else if (!std::all_of(uuids.begin(), uuids.end(),
                          [&](const std::string& uuid) {
                            return handles_.Knows(uuid);
                          })) {
    // A window new to this process: KWin's other windows tell whether its
    // number is shared.
    Listed(true);
  }
  std::vector<WindowHandle> windows;
  for (const std::string& uuid : uuids) {
    windows.push_back(HandleOfUuid(uuid));
  }
  return answered_ ? windows : std::vector<WindowHandle>{};
}

std::optional<std::string> KWinWindowManager::Uuid(WindowHandle window) {
  answered_ = true;
  if (const auto uuid = handles_.UuidOf(window); uuid || window <= 0) {
    return uuid;
  }
  // Met by another Pentrax process (in front there, say, of any type), or
  // shared when last looked: KWin's list of all windows gives every
  // window's UUID as it is now.
  Listed(true);
  return handles_.UuidOf(window);
}

std::optional<KWinWindow> KWinWindowManager::Read(WindowHandle window) {
  const auto uuid = Uuid(window);
  return uuid ? Answered(ReadWindowRequest(*uuid)) : std::nullopt;
}

WindowHandle KWinWindowManager::GetForegroundWindow() {
  const auto active = Answered(ActiveWindowRequest());
  if (active && !handles_.Knows(active->uuid)) {
    Listed(true);  // as in Listed
  }
  return active && answered_ ? handles_.Note(active->uuid) : 0;
}

int KWinWindowManager::GetWindowPlacement(WindowHandle window,
                                          WindowPlacement& placement) {
  const auto w = Read(window);
  if (!w) {
    return 0;
  }
  placement = WindowPlacement{};
  placement.showCmd = ShowStateOf(*w);
  if (!w->tile.empty()) {
    tiles_[window] = w->tile;
  }
  placement.rcNormalPosition =
      normals_.NormalOf(window, IdentityOf(*w), placement.showCmd, w->frame);
  return 1;
}

int KWinWindowManager::SetWindowPlacement(WindowHandle window,
                                          const WindowPlacement& placement) {
  const auto uuid = Uuid(window);
  if (!uuid) {
    return 0;
  }
  const Rect& normal = placement.rcNormalPosition;
  const auto tile = tiles_.find(window);
  const auto placed = Answered(
      PlaceWindowRequest(*uuid, normal, ShowOfPlacement(placement.showCmd),
                         tile != tiles_.end() ? tile->second : ""));
  if (!placed) {
    return 0;
  }
  normals_.Placed(window, IdentityOf(*placed), normal);
  // Wait until KWin and the client have carried it out, so that what is
  // read next is the outcome.
  if (placement.showCmd != kShowMinimized) {
    PollUntilSettled(
        [&]() -> std::optional<Rect> {
          const auto w = Read(window);
          return w ? std::optional(w->frame) : std::nullopt;
        },
        placed->frame, FrameAfterPlacing(*placed, placement.showCmd, normal),
        placement.showCmd != kShowNormal && placement.showCmd != kShowRestore,
        PlaceTiming());
  }
  return 1;
}

int KWinWindowManager::GetWindowText(WindowHandle window, char* buffer,
                                     int maxCount) {
  const auto w = Read(window);
  return CopyTitle(w ? w->caption : std::string(), buffer, maxCount);
}

bool KWinWindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  return Area(window, false, workArea);
}

bool KWinWindowManager::GetMonitor(WindowHandle window, Rect& monitor) {
  return Area(window, true, monitor);
}

bool KWinWindowManager::Area(WindowHandle window, bool whole, Rect& rect) {
  std::optional<Rect> area;
  if (const auto w = Uuid(window) ? Read(window) : std::nullopt) {
    area = whole ? w->screen : w->area;
  } else if (answered_) {  // a window KWin does not have: the active screen's
    const auto answer = Ask(WorkAreaRequest());
    area = answer ? AreaOfAnswer(*answer, whole ? "screen" : "area")
                  : std::nullopt;
  }
  if (area) {
    rect = *area;
  }
  return area.has_value();
}

std::optional<Insets> KWinWindowManager::GetFrameInsets(WindowHandle window) {
  const auto w = Read(window);
  if (!w) {
    return std::nullopt;
  }
  if (!w->client) {
    return w->x11Window != 0 ? X11FrameExtents(w->x11Window) : Insets{};
  }
  // A client-side decorated window's buffer takes in its shadows too: what
  // it draws counts as content.
  return InsetsBetween(w->frame, *w->client);
}

std::vector<WindowHandle> KWinWindowManager::ListWindows() {
  std::vector<WindowHandle> windows;
  for (const WindowHandle h : Listed(false)) {
    if (!handles_.Shared(h) && !IsOwnProcessWindow(h)) {
      windows.push_back(h);
    }
  }
  return windows;
}

std::string KWinWindowManager::WhyNotListed(WindowHandle window) {
  return handles_.Shared(window) ? "shares its number with another window, so "
                                   "Pentrax cannot tell which is meant"
                                 : "";
}

std::string KWinWindowManager::WindowIdentity(WindowHandle window) {
  const auto w = Read(window);
  return w ? IdentityOf(*w) : std::string();
}

std::string KWinWindowManager::NotAnswering() {
  return answered_ ? "" : "KWin";
}

std::string KWinWindowManager::PlacementDetail(WindowHandle window) {
  const auto tile = tiles_.find(window);
  const std::string normal = normals_.Detail(window);
  return tile == tiles_.end()
             ? normal
             : normal + (normal.empty() ? "" : ";") + "t " + tile->second;
}

void KWinWindowManager::TakePlacementDetail(WindowHandle window,
                                            std::string_view detail) {
  const std::string identity = WindowIdentity(window);
  normals_.Take(window, identity, detail);
  if (const auto tile = DetailPart(detail, 't', 1);
      tile && IsQuickTile((*tile)[0])) {
    tiles_[window] = std::string((*tile)[0]);
  }
}

bool KWinWindowManager::IsOwnProcessWindow(WindowHandle window) {
  const auto w = Read(window);
  return w && IsPentraxProcess(w->pid);
}

}  // namespace pentrax
