#include "ledger.h"

#include <algorithm>

namespace pentrax {

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
  EntryFor(window) = {window,   placement.showCmd,    r.left, r.top, r.right,
                      r.bottom, std::string(identity)};
}

void ResizedWindowLedger::LookUpWindow(WindowPlacement& placement,
                                       WindowHandle window, bool& found,
                                       std::string_view identity) {
  const std::size_t i = IndexOf(window);
  found = i < entries_.size() && entries_[i].identity == identity;
  if (!found) {
    return;
  }
  ResizedWindowRecord& entry = entries_[i];
  placement.showCmd = entry.showState;
  placement.rcNormalPosition = {entry.left, entry.top, entry.right,
                                entry.bottom};
  entry.showState = kRestoredMarker;
}

std::optional<ResizedWindowRecord> ResizedWindowLedger::Entry(
    WindowHandle window) const {
  const std::size_t i = IndexOf(window);
  return i < entries_.size() ? std::optional(entries_[i]) : std::nullopt;
}

void ResizedWindowLedger::PutBack(const ResizedWindowRecord& record) {
  EntryFor(record.handle) = record;
}

}  // namespace pentrax
