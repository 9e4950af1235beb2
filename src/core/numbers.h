// Reading texts as numbers and writing numbers as texts, the one way the
// program does it for field texts and stored settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pentrax {

// Reads the number at the start of a text. Blanks, tabs and line feeds are
// removed wherever they stand; then an optional sign, digits, at most one "."
// and an optional exponent are read, or, after a leading "&H" or "&O", a
// hexadecimal or octal whole number. Reading stops at the first character that
// does not fit; a text with no number at its start reads as 0. Too large a
// value reads as an infinity.
double LeadingNumber(std::string_view text);

// A whole number of 32 bits that is all of the text: decimal digits after an
// optional "-", or with hex also "0x" (or "0X") and hexadecimal digits.
// Nothing else reads: no blank, "+", fraction, or number beyond 32 bits.
std::optional<std::int32_t> ReadWholeNumber(std::string_view text,
                                            bool hex = false);

// Rounds to the nearest whole number, a half going to the even neighbour.
double RoundHalfEven(double value);

// Whole-number conversions into the program's signed 32-bit fields. Values
// outside the range are clamped to it (an infinity too); NaN becomes 0.
std::int32_t ClampToInt32(double value);
std::int32_t ClampToInt32(std::int64_t value);
std::int32_t RoundToInt32(double value);  // rounding half to even
std::int32_t FloorToInt32(double value);  // towards minus infinity

// General number form: plain decimal digits, a leading "-" when negative, no
// blanks or thousands separators; a fractional part follows the given decimal
// separator.
std::string NumberToText(double value, char decimalSeparator = '.');
std::string NumberToText(std::int32_t value);

}  // namespace pentrax
