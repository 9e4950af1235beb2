#include "numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pentrax {
namespace {

constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt32 = std::numeric_limits<std::int32_t>::min();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') {
    v = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    v = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    v = c - 'A' + 10;
  }
  return v < base ? v : -1;
}

double ReadRadix(std::string_view digits, int base) {
  double value = 0;
  for (char c : digits) {
    const int d = DigitValue(c, base);
    if (d < 0) {
      break;
    }
    value = value * base + d;
  }
  return value;
}

// Reads sign, digits, one "." and an exponent from the start of a text that
// holds no blanks.
double ReadDecimal(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const std::size_t mantissaStart = i;
  bool anyDigit = false;
  while (i < s.size() && IsDigit(s[i])) {
    ++i;
    anyDigit = true;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      ++i;
      anyDigit = true;
    }
  }
  if (!anyDigit) {
    return 0;
  }
  std::size_t end = i;
  bool negativeExponent = false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      negativeExponent = s[j] == '-';
      ++j;
    }
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) {
        ++j;
      }
      end = j;
    }
  }
  // from_chars takes no leading "+", which is why the sign is read above.
  double value = 0;
  const char* first = s.data() + mantissaStart;
  const char* last = s.data() + end;
  const auto [ptr, ec] =
      std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc() || ptr != last) {
    value = 0;
  }
  return negative ? -value : value;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') {
      s.push_back(c);
    }
  }
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'h' || s[1] == 'H') {
      return ReadRadix(std::string_view(s).substr(2), 16);
    }
    if (s[1] == 'o' || s[1] == 'O') {
      return ReadRadix(std::string_view(s).substr(2), 8);
    }
  }
  return ReadDecimal(s);
}

std::optional<std::int32_t> ReadWholeNumber(std::string_view text, bool hex) {
  const bool sixteen = hex && text.size() > 2 && text[0] == '0' &&
                       (text[1] == 'x' || text[1] == 'X') && text[2] != '-';
  text.remove_prefix(sixteen ? 2 : 0);
  std::int32_t n = 0;
  const char* end = text.data() + text.size();
  const auto read = std::from_chars(text.data(), end, n, sixteen ? 16 : 10);
  return !text.empty() && read.ec == std::errc() && read.ptr == end
             ? std::optional(n)
             : std::nullopt;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) {
    return value;
  }
  const double lower = std::floor(value);
  const double diff = value - lower;
  if (diff < 0.5) {
    return lower;
  }
  if (diff > 0.5) {
    return lower + 1;
  }
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int32_t ClampToInt32(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= static_cast<double>(kMaxInt32)) {
    return kMaxInt32;
  }
  if (value <= static_cast<double>(kMinInt32)) {
    return kMinInt32;
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t ClampToInt32(std::int64_t value) {
  if (value > kMaxInt32) {
    return kMaxInt32;
  }
  if (value < kMinInt32) {
    return kMinInt32;
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t RoundToInt32(double value) {
  return ClampToInt32(RoundHalfEven(value));
}

std::int32_t FloorToInt32(double value) {
  return ClampToInt32(std::floor(value));
}

std::string NumberToText(double value, char decimalSeparator) {
  if (value == 0) {
    return "0";  // also for -0
  }
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value,
                                       std::chars_format::general, 15);
  std::string text(buf, ec == std::errc() ? end : buf);
  for (char& c : text) {
    if (c == '.') {
      c = decimalSeparator;
    }
  }
  return text;
}

std::string NumberToText(std::int32_t value) { return std::to_string(value); }

}  // namespace pentrax
