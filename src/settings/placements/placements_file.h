// The remembered placements of a Linux session, in a file every Pentrax
// process of the session shares: $XDG_RUNTIME_DIR/pentrax2/placements.json,
// which goes at logout with the windows it names.
//
// Only the user's own private folders are used: $XDG_RUNTIME_DIR and
// pentrax2 in it must be folders (not links) of the user's, closed to
// everyone else, and everything in pentrax2 is opened through that folder
// without following links. Where that is not so, the placements stay in the
// process, and each action says why.
//
// An action reads the file, acts, and only then, if it changed a record,
// takes the lock (placements.lock beside the file, given up after a
// deadline), reads the file again, merges what it changed into it and
// renames a new file over the old, so no process sees half of one and a
// stopped process never holds up the others for longer than the deadline.
// The windows of each desktop are kept apart (the same handle means another
// window on another display); the records of windows that are gone are
// dropped when the file is written, and only the latest kMostRecords are
// kept. A file that is not a placements file of this version (or too large,
// or not a plain file) is moved aside to placements.json.damaged.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ledger_store.h"

namespace pentrax::settings {

class PlacementsFile final : public LedgerStore {
 public:
  static constexpr std::chrono::milliseconds kLockDeadline{3000};
  static constexpr std::size_t kMostRecords = 1000;
  // Far more than kMostRecords records take.
  static constexpr std::size_t kLargestFile = 4 << 20;

  // The session's runtime folder ($XDG_RUNTIME_DIR); empty, with the reason
  // in *error, when it is not set.
  static std::string SessionFolder(std::string* error);

  // The file in runtimeFolder/pentrax2, for the windows of one desktop
  // (DisplayKey). windows: the windows of that desktop that exist now
  // (asked before the file is written; an empty list tells nothing).
  PlacementsFile(std::string runtimeFolder, std::string display,
                 std::function<std::vector<WindowHandle>()> windows = {},
                 std::chrono::milliseconds lockDeadline = kLockDeadline);

  std::string Use(
      const std::function<void(ResizedWindowLedger&)>& use) override;

 private:
  // Merges the changed records into the file as it is now, with the lock
  // held. Returns why it could not; a damaged file set aside is said in
  // note instead of what note said.
  std::string Store(const std::vector<ResizedWindowRecord>& changed,
                    const std::vector<WindowHandle>& alive, std::string& note);

  std::string runtime_;
  std::string display_;
  std::function<std::vector<WindowHandle>()> windows_;
  std::chrono::milliseconds deadline_;
  // What this process changed and could not store: kept, and stored with
  // the next change that can be.
  ResizedWindowLedger pending_;
};

// One record of the file, with the desktop whose window it names.
struct StoredRecord {
  std::string display;
  ResizedWindowRecord record;
  friend bool operator==(const StoredRecord&, const StoredRecord&) = default;
};

// The records of a file's text, oldest first; nullopt when the text is not
// a placements file of this version, or a record in it is not usable
// (IsUsable).
std::optional<std::vector<StoredRecord>> ReadPlacements(std::string_view text);
std::string WritePlacements(const std::vector<StoredRecord>& records);

}  // namespace pentrax::settings
