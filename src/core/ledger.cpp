#include "ledger.h"

#include <algorithm>

namespace pentrax {

bool IsUsable(const ResizedWindowRecord& r) {
  const bool known =
      r.showState == kShowNormal || r.showState == kShowMinimized ||
      r.showState == kShowMaximized || r.showState == kShowFullscreen ||
      r.showState == kShowTiled || r.showState == kRestoredMarker;
  const auto within = [](std::int32_t v) {
    return v >= -kLargestCoordinate && v <= kLargestCoordinate;
  };
  const bool printable =
      std::all_of(r.detail.begin(), r.detail.end(),
                  [](char c) { return c >= ' ' && c <= '~'; });
  return r.handle > 0 && known && within(r.left) && within(r.top) &&
         within(r.right) && within(r.bottom) && r.right > r.left &&
         r.bottom > r.top && r.identity.size() <= kLongestIdentity &&
         r.detail.size() <= kPlacementDetailLength && printable;
}

std::size_t ResizedWindowLedger::IndexOf(WindowHandle window) const {
  return static_cast<std::size_t>(
      std::find_if(entries_.begin(), entries_.end(),
                   [window](const auto& e) { return e.handle == window; }) -
      entries_.begin());
}

ResizedWindowRecord& ResizedWindowLedger::EntryFor(WindowHandle window) {
  const std::size_t i = IndexOf(window);
  return i < entries_.size() ? entries_[i] : entries_.emplace_back();
}

void ResizedWindowLedger::RememberWindow(const WindowPlacement& placement,
                                         WindowHandle window,
                                         std::string_view identity) {
  const Rect& r = placement.rcNormalPosition;
  ResizedWindowRecord entry{
      window,   placement.showCmd,     r.left, r.top, r.right,
      r.bottom, std::string(identity), {}};
  if (const ResizedWindowRecord* same = EntryOf(window, identity)) {
    entry.detail = same->detail;
  }
  std::erase_if(entries_,
                [window](const auto& e) { return e.handle == window; });
  entries_.push_back(std::move(entry));
}

void ResizedWindowLedger::LookUpWindow(WindowPlacement& placement,
                                       WindowHandle window, bool& found,
                                       std::string_view identity) {
  found = EntryOf(window, identity) != nullptr;
  if (!found) {
    return;
  }
  ResizedWindowRecord& entry = EntryFor(window);
  placement.showCmd = entry.showState;
  placement.rcNormalPosition = {entry.left, entry.top, entry.right,
                                entry.bottom};
  entry.showState = kRestoredMarker;
}

const ResizedWindowRecord* ResizedWindowLedger::EntryOf(
    WindowHandle window, std::string_view identity) const {
  const std::size_t i = IndexOf(window);
  return i < entries_.size() && entries_[i].identity == identity ? &entries_[i]
                                                                 : nullptr;
}

bool ResizedWindowLedger::Remembers(WindowHandle window,
                                    std::string_view identity) const {
  const ResizedWindowRecord* entry = EntryOf(window, identity);
  return entry != nullptr && entry->showState != kRestoredMarker;
}

std::optional<ResizedWindowRecord> ResizedWindowLedger::Entry(
    WindowHandle window) const {
  const std::size_t i = IndexOf(window);
  return i < entries_.size() ? std::optional(entries_[i]) : std::nullopt;
}

void ResizedWindowLedger::PutBack(const ResizedWindowRecord& record) {
  EntryFor(record.handle) = record;
}

void ResizedWindowLedger::SetDetail(WindowHandle window, std::string detail) {
  if (const std::size_t i = IndexOf(window); i < entries_.size()) {
    entries_[i].detail = std::move(detail);
  }
}

}  // namespace pentrax
