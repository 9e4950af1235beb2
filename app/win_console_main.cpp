// Pentrax2.com, Pentrax 2's console program, beside Pentrax2.exe: cmd and
// PowerShell run it first for "pentrax2" (.COM comes before .EXE), so that
// the commands answer where they were typed: reports on standard output,
// errors on standard error, the exit status. Without a command it starts
// the window, Pentrax2.exe, and returns.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "registry_settings_store.h"
#include "wide_text.h"
#include "win_commands.h"

namespace {

// Writes UTF-8 text: to a console as its characters, to a file or a pipe
// as UTF-8 with Windows's line ends.
void Write(DWORD which, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = pentrax::Wide(text);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()),
                  &written, nullptr);
    return;
  }
  std::string lines;
  for (const char c : text) {
    lines += c == '\n' ? "\r\n" : std::string(1, c);
  }
  WriteFile(handle, lines.data(), static_cast<DWORD>(lines.size()), &written,
            nullptr);
}

void Out(std::string_view text) { Write(STD_OUTPUT_HANDLE, text); }
void Err(std::string_view text) { Write(STD_ERROR_HANDLE, text); }

// Starts Pentrax2.exe from this program's folder with this command line's
// arguments.
int StartWindow(const std::string& application) {
  std::wstring exe = pentrax::settings::ExecutablePath();
  exe.resize(std::min(exe.size(), exe.find_last_of(L'.')));
  exe += L".exe";
  // The arguments as given: all that follows the program's name.
  std::wstring_view rest = GetCommandLineW();
  rest.remove_prefix(std::min(rest.size(), rest.starts_with(L'"')
                                               ? rest.find(L'"', 1) + 1
                                               : rest.find_first_of(L" \t")));
  std::wstring line = L"\"" + exe + L"\"" + std::wstring(rest);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Detached: the window has no use for this console or its handles (under
  // Wine it would keep them open, and whatever reads this program's output
  // would wait for the window to close).
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE,
                      DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
    Err(application + ": cannot start " + pentrax::Utf8(exe) + " (error " +
        std::to_string(GetLastError()) + ")\n");
    return pentrax::cli::kNothing;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return pentrax::cli::kDone;
}

}  // namespace

int wmain() {
  const std::string application = pentrax::settings::ExecutableBaseName();
  const pentrax::win::Reading reading =
      pentrax::win::ReadCommandLine(application);
  if (!reading.options) {
    if (!reading.json.empty()) {
      Out(reading.json);
    }
    std::string text = reading.text;
    if (!text.ends_with('\n')) {
      text += '\n';
    }
    if (reading.status == 0) {
      Out(text);
    } else {
      Err(application + ": " + text);
    }
    return reading.status;
  }
  if (reading.options->command == pentrax::cli::Command::kWindow) {
    return StartWindow(application);
  }
  return pentrax::win::RunCommand(*reading.options, Out, Err);
}
