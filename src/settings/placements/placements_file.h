// The remembered placements of a Linux session, in a file every Pentrax
// process of the session shares: $XDG_RUNTIME_DIR/pentrax2/placements.json,
// which goes at logout with the windows it names. Each action reads it,
// changes it and writes it back with a lock held (placements.lock beside
// it), the new file renamed over the old, so no process sees half of one.
// The windows of each backend are kept apart (their handles mean different
// windows). A file that is not Pentrax's is moved aside to
// placements.json.damaged and a new one begun.
#pragma once

#include <string>

#include "ledger_store.h"

namespace pentrax::settings {

class PlacementsFile final : public LedgerStore {
 public:
  // The session's file, for the named backend; an empty path (with the
  // reason in *error) when XDG_RUNTIME_DIR is not set.
  static std::string SessionPath(std::string* error);

  PlacementsFile(std::string path, std::string backend)
      : path_(std::move(path)), backend_(std::move(backend)) {}

  std::string Use(
      const std::function<void(ResizedWindowLedger&)>& use) override;

 private:
  std::string path_;
  std::string backend_;
  // Where the file cannot be used, this process's placements.
  ResizedWindowLedger fallback_;
};

}  // namespace pentrax::settings
