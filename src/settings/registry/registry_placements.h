// The remembered placements of a Windows session, shared by every Pentrax
// process of the session (Pentrax2.exe's window and the commands of
// Pentrax2.exe and Pentrax2.com): the values of
// HKEY_CURRENT_USER\Software\<application>\Session, a volatile key, which
// Windows drops at logoff together with the windows it names. One REG_SZ
// value a window, named by its handle in decimal, holding
// "SHOW LEFT TOP RIGHT BOTTOM IDENTITY". Each action reads the values,
// changes them and writes them back holding a mutex of the session
// (Local\<application>.Session), so no process sees another's half done.
// A value that is not one of these (another name, type or text) is deleted,
// and the action says so.
#pragma once

#include <windows.h>

#include <string>

#include "ledger_store.h"

namespace pentrax::settings {

class RegistryPlacements final : public LedgerStore {
 public:
  // How long an action waits for another process's action to end before
  // it goes on with this process's placements alone.
  static constexpr DWORD kWaitMs = 10000;

  explicit RegistryPlacements(const std::string& applicationName);
  ~RegistryPlacements() override;
  RegistryPlacements(const RegistryPlacements&) = delete;
  RegistryPlacements& operator=(const RegistryPlacements&) = delete;

  std::string Use(
      const std::function<void(ResizedWindowLedger&)>& use) override;

 private:
  std::wstring path_;  // the program's key, below HKEY_CURRENT_USER
  HANDLE mutex_ = nullptr;
  // Where the key cannot be used, this process's placements.
  ResizedWindowLedger fallback_;
};

}  // namespace pentrax::settings
