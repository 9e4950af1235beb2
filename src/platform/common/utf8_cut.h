// Titles into a caller's buffer, as every backend's GetWindowText gives them:
// cut on a UTF-8 character boundary, so that a report never ends in half a
// character.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace pentrax {

// The length of the longest start of `text` that fits into `limit` bytes
// without cutting a character.
inline std::size_t Utf8Cut(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) {
    return text.size();
  }
  std::size_t cut = limit;
  // Step back over continuation bytes (10xxxxxx) to a character's start.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  return cut;
}

// Copies at most maxCount - 1 bytes of the title, cut as above, then a NUL.
// Returns the bytes copied; 0 with no buffer to copy into.
inline int CopyTitle(std::string_view title, char* buffer, int maxCount) {
  if (buffer == nullptr || maxCount <= 0) {
    return 0;
  }
  const std::size_t n = Utf8Cut(title, static_cast<std::size_t>(maxCount) - 1);
  std::memcpy(buffer, title.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace pentrax
