// The remembered placements of a Windows session, shared by every Pentrax
// process of the session (Pentrax2.exe's window and the commands of
// Pentrax2.exe and Pentrax2.com): the values of
// HKEY_CURRENT_USER\Software\<application>\Session\<session id>, a
// volatile key, which Windows drops at logoff together with the windows it
// names. The user's registry is the same in each of the user's sessions (a
// user logged on twice, on Windows Server or with fast user switching), and
// window handles are the session's: each session keeps to its own key. One
// REG_SZ value a window, named by its handle in decimal, holding
// "SHOW LEFT TOP RIGHT BOTTOM IDENTITY". Each action reads the values,
// changes them and writes them back holding a mutex of the session
// (Local\<application>.Session, in the session's own namespace), so no
// process sees another's half done.
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
  std::wstring path_;     // the program's key, below HKEY_CURRENT_USER
  std::wstring session_;  // the session's id; empty when it is not known
  HANDLE mutex_ = nullptr;
  // Where the key cannot be used, this process's placements.
  ResizedWindowLedger fallback_;
};

}  // namespace pentrax::settings
