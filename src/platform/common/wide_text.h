// Texts cross into the Windows API as UTF-16 and come back as UTF-8, the
// program's own encoding: the system's 8-bit code page cannot hold every
// character of a caption, a title or a stored setting. Windows only; shared
// by the Win32 backend, the Win32 view and the registry store.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace pentrax {

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

// UTF-8 of UTF-16 text, or nullopt when it is not valid UTF-16 (a lone
// surrogate).
inline std::optional<std::string> StrictUtf8(
    std::wstring_view wide, DWORD flags = WC_ERR_INVALID_CHARS) {
  if (wide.empty()) {
    return std::string();
  }
  const int size = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, flags, wide.data(), size,
                                        nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return std::nullopt;
  }
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, flags, wide.data(), size, utf8.data(), bytes,
                      nullptr, nullptr);
  return utf8;
}

// UTF-8 of UTF-16 text, a lone surrogate replaced (U+FFFD).
inline std::string Utf8(std::wstring_view wide) {
  return StrictUtf8(wide, 0).value_or(std::string());
}

// A window's text, as GetWindowTextW gives it (for a window of this
// process, its own text).
inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace pentrax
