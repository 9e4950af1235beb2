#include "ledger.h"

#include <algorithm>

namespace pentrax {

ResizedWindowRecord* ResizedWindowLedger::Find(WindowHandle window) {
  const auto it =
      std::find_if(entries_.begin(), entries_.end(),
                   [window](const auto& e) { return e.handle == window; });
  return it == entries_.end() ? nullptr : &*it;
}

void ResizedWindowLedger::RememberWindow(const WindowPlacement& placement,
                                         WindowHandle window,
                                         std::string_view identity) {
  ResizedWindowRecord* entry = Find(window);
  if (entry == nullptr) {
    entry = &entries_.emplace_back();
  }
  const Rect& r = placement.rcNormalPosition;
  *entry = {window,   placement.showCmd,    r.left, r.top, r.right,
            r.bottom, std::string(identity)};
}

void ResizedWindowLedger::LookUpWindow(WindowPlacement& placement,
                                       WindowHandle window, bool& found,
                                       std::string_view identity) {
  ResizedWindowRecord* entry = Find(window);
  found = entry != nullptr && entry->identity == identity;
  if (!found) {
    return;
  }
  placement.showCmd = entry->showState;
  placement.rcNormalPosition = {entry->left, entry->top, entry->right,
                                entry->bottom};
  entry->showState = kRestoredMarker;
}

}  // namespace pentrax
