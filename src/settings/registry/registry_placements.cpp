#include "registry_placements.h"

#include <optional>
#include <string_view>
#include <vector>

#include "numbers.h"
#include "wide_text.h"

namespace pentrax::settings {
namespace {

// Releases the mutex at the end of the action.
struct HeldMutex {
  HANDLE mutex;
  ~HeldMutex() { ReleaseMutex(mutex); }
};

struct OpenKey {
  HKEY key = nullptr;
  ~OpenKey() {
    if (key != nullptr) {
      RegCloseKey(key);
    }
  }
};

// A whole number that is all of the text, written as Pentrax writes it.
bool Whole(std::string_view text, std::int32_t& n) {
  const auto read = ReadWholeNumber(text);
  n = read.value_or(0);
  return read && NumberToText(n) == text;
}

// A window's value as Pentrax writes it, or nullopt.
std::optional<ResizedWindowRecord> Record(std::wstring_view name, DWORD type,
                                          std::wstring_view data) {
  if (type != REG_SZ) {
    return std::nullopt;
  }
  if (!data.empty() && data.back() == L'\0') {
    data.remove_suffix(1);
  }
  const auto handle = StrictUtf8(name);
  const auto text = StrictUtf8(data);
  ResizedWindowRecord r;
  if (!handle || !text || !Whole(*handle, r.handle) || r.handle == 0) {
    return std::nullopt;
  }
  std::string_view rest = *text;
  for (std::int32_t* field :
       {&r.showState, &r.left, &r.top, &r.right, &r.bottom}) {
    const auto space = rest.find(' ');
    if (space == std::string_view::npos ||
        !Whole(rest.substr(0, space), *field)) {
      return std::nullopt;
    }
    rest.remove_prefix(space + 1);
  }
  r.identity = rest;
  return r;
}

std::wstring Text(const ResizedWindowRecord& r) {
  std::string text;
  for (const std::int32_t n : {r.showState, r.left, r.top, r.right, r.bottom}) {
    text += std::to_string(n) + " ";
  }
  return Wide(text + r.identity);
}

// Reads every value into the ledger; the names of those that are not a
// window's go to damaged.
void Read(HKEY key, ResizedWindowLedger& ledger,
          std::vector<std::wstring>& damaged) {
  DWORD count = 0, nameMax = 0, dataMax = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &count, &nameMax, &dataMax, nullptr,
                       nullptr) != ERROR_SUCCESS) {
    return;
  }
  std::wstring name(nameMax + 1, L'\0');
  std::wstring data(dataMax / sizeof(wchar_t) + 1, L'\0');
  for (DWORD i = 0; i < count; ++i) {
    auto nameLength = static_cast<DWORD>(name.size());
    auto bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    DWORD type = 0;
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()),
                      &bytes) != ERROR_SUCCESS) {
      continue;
    }
    const std::wstring_view valueName(name.data(), nameLength);
    const auto record =
        bytes % sizeof(wchar_t) == 0
            ? Record(valueName, type,
                     std::wstring_view(data.data(), bytes / sizeof(wchar_t)))
            : std::nullopt;
    if (record) {
      ledger.PutBack(*record);
    } else {
      damaged.emplace_back(valueName);
    }
  }
}

}  // namespace

RegistryPlacements::RegistryPlacements(const std::string& applicationName)
    : path_(L"Software\\" + Wide(applicationName)),
      mutex_(CreateMutexW(
          nullptr, FALSE,
          (L"Local\\" + Wide(applicationName) + L".Session").c_str())) {
  DWORD id = 0;
  if (ProcessIdToSessionId(GetCurrentProcessId(), &id)) {
    session_ = std::to_wstring(id);
  }
}

RegistryPlacements::~RegistryPlacements() {
  if (mutex_ != nullptr) {
    CloseHandle(mutex_);
  }
}

std::string RegistryPlacements::Use(
    const std::function<void(ResizedWindowLedger&)>& use) {
  const std::string where =
      "HKEY_CURRENT_USER\\" + Utf8(path_) + "\\Session\\" + Utf8(session_);
  // A mutex left by a process that ended holding it (WAIT_ABANDONED) is
  // ours: each value is written whole, so the key is as that process left
  // it between two values.
  const DWORD waited = mutex_ == nullptr || session_.empty()
                           ? WAIT_FAILED
                           : WaitForSingleObject(mutex_, kWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    use(fallback_);
    return KeptInThisProcess(waited == WAIT_TIMEOUT
                                 ? "another Pentrax process kept " + where +
                                       " for " +
                                       std::to_string(kWaitMs / 1000) + " s"
                                 : "cannot lock " + where);
  }
  const HeldMutex held{mutex_};
  // The program's own key first, as any other: one that RegCreateKeyEx
  // made on the way to the volatile key would be volatile too, and could
  // hold no settings.
  OpenKey program, sessions, key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY, nullptr,
                      &program.key, nullptr) != ERROR_SUCCESS ||
      RegCreateKeyExW(program.key, L"Session", 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_CREATE_SUB_KEY, nullptr, &sessions.key,
                      nullptr) != ERROR_SUCCESS ||
      RegCreateKeyExW(sessions.key, session_.c_str(), 0, nullptr,
                      REG_OPTION_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      nullptr, &key.key, nullptr) != ERROR_SUCCESS) {
    use(fallback_);
    return KeptInThisProcess("cannot open " + where);
  }
  ResizedWindowLedger ledger;
  std::vector<std::wstring> damaged;
  Read(key.key, ledger, damaged);
  std::string note;
  for (const std::wstring& name : damaged) {
    RegDeleteValueW(key.key, name.c_str());
    note += (note.empty() ? where + ": dropped what was not Pentrax's: \""
                          : std::string(", \"")) +
            Utf8(name) + "\"";
  }
  use(ledger);
  for (const ResizedWindowRecord& r : ledger.entries()) {
    const std::wstring text = Text(r);
    if (RegSetValueExW(key.key, std::to_wstring(r.handle).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) *
                                          sizeof(wchar_t))) != ERROR_SUCCESS) {
      fallback_ = ledger;
      return (note.empty() ? "" : note + "\n") +
             KeptInThisProcess("cannot write " + where);
    }
  }
  return note;
}

}  // namespace pentrax::settings
