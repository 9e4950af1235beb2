// Texts cross into the Windows API as UTF-16 and come back as UTF-8, the
// program's own encoding: the system's 8-bit code page cannot hold every
// character of a caption or a title.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace pentrax::ui {

inline std::wstring Wide(std::string_view utf8) {
  std::wstring wide;
  if (!utf8.empty()) {
    const int size = static_cast<int>(utf8.size());
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(),
                        static_cast<int>(wide.size()));
  }
  return wide;
}

inline std::string Utf8(std::wstring_view wide) {
  std::string utf8;
  if (!wide.empty()) {
    const int size = static_cast<int>(wide.size());
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
  }
  return utf8;
}

// A window's text, as GetWindowTextW gives it (for a control of this
// process, the control's own text).
inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace pentrax::ui
