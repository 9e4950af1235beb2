// Where the remembered placements live: shared by every Pentrax process of
// the session, so that a window sized with the window's button can be put
// back from the command line and the other way round. A store lends the
// ledger to one action at a time.
#pragma once

#include <functional>
#include <string>

#include "ledger.h"

namespace pentrax {

class LedgerStore {
 public:
  virtual ~LedgerStore() = default;

  // Runs `use` on the ledger as stored, with the other Pentrax processes of
  // the session kept out until it is stored again with what `use` changed.
  // Returns what the user should know of the store (a damaged one set
  // aside, one that cannot be used), empty when there is nothing to say.
  // `use` runs in any case: where the store cannot be used, on a ledger of
  // this process's own.
  virtual std::string Use(
      const std::function<void(ResizedWindowLedger&)>& use) = 0;
};

// What a store that cannot be shared says: why, and that it keeps the
// placements in this process alone.
inline std::string KeptInThisProcess(const std::string& why) {
  return why + "; placements are remembered by this process only";
}

// A ledger of this process alone: for the tests, and where no shared store
// can be had.
class MemoryLedgerStore final : public LedgerStore {
 public:
  std::string Use(
      const std::function<void(ResizedWindowLedger&)>& use) override {
    use(ledger_);
    return {};
  }

 private:
  ResizedWindowLedger ledger_;
};

}  // namespace pentrax
