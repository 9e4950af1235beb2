// The ledger of sized windows: for every window sized in the session (its
// Pentrax processes share the ledger through a LedgerStore), the placement
// it had just before its most recent sizing; the window sized last comes
// last.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window_manager.h"

namespace pentrax {

// Show state of an entry that has been restored since its last sizing
// (0xFFFFCFC7 as a 32-bit pattern). Never passed to the window manager.
inline constexpr std::int32_t kRestoredMarker = -12345;

struct ResizedWindowRecord {
  WindowHandle handle = 0;
  std::int32_t showState = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  // What identifies the window behind the handle (WindowManager::
  // WindowIdentity); an entry whose window no longer matches counts as not
  // listed, so a reused handle never leads to a stranger's window.
  std::string identity;
  // What the backend gave to know of the window after the latest action on
  // it (WindowManager::PlacementDetail), handed back before the next one.
  std::string detail;
  friend bool operator==(const ResizedWindowRecord&,
                         const ResizedWindowRecord&) = default;
};

// The bounds of a record that can be used: a show state Pentrax gives, a
// rectangle with right > left and bottom > top whose coordinates lie within
// what any desktop takes (far beyond any layout of monitors), an identity
// and a detail of bounded length. A record read from outside that is not
// usable never reaches a backend.
inline constexpr std::int32_t kLargestCoordinate = 1 << 20;
inline constexpr std::size_t kLongestIdentity = 1024;
bool IsUsable(const ResizedWindowRecord& record);

class ResizedWindowLedger {
 public:
  // Makes the entry of this handle the latest, with the placement's show
  // state and normal rectangle (and the detail it had, for the same
  // window).
  void RememberWindow(const WindowPlacement& placement, WindowHandle window,
                      std::string_view identity = {});

  // On a hit (EntryOf), copies the entry's show state and rectangle into the
  // record, then marks the entry restored; found tells whether there was a
  // hit. A record that comes back with showCmd kRestoredMarker was restored.
  void LookUpWindow(WindowPlacement& placement, WindowHandle window,
                    bool& found, std::string_view identity = {});

  // The window's entry: its handle's, while the window behind the handle is
  // the one the entry was made for (the same identity); nullptr otherwise.
  const ResizedWindowRecord* EntryOf(WindowHandle window,
                                     std::string_view identity) const;
  // Whether a restore would put the window back: it has an entry (EntryOf)
  // that has not been restored since.
  bool Remembers(WindowHandle window, std::string_view identity) const;

  // The entry of this handle as it stands, whichever window it was made for.
  std::optional<ResizedWindowRecord> Entry(WindowHandle window) const;
  // Puts an entry taken with Entry back in place of this handle's entry.
  void PutBack(const ResizedWindowRecord& record);
  // Sets the backend's detail of the handle's entry, if it has one.
  void SetDetail(WindowHandle window, std::string detail);

  const std::vector<ResizedWindowRecord>& entries() const { return entries_; }

 private:
  // The index of the handle's entry; entries_.size() when it has none.
  std::size_t IndexOf(WindowHandle window) const;
  // The handle's entry, appended empty when it has none.
  ResizedWindowRecord& EntryFor(WindowHandle window);

  std::vector<ResizedWindowRecord> entries_;
};

}  // namespace pentrax
