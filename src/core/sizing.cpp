#include "sizing.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "numbers.h"

namespace pentrax {
namespace {

// Rounded down and made positive; kept inside the 32-bit range so that taking
// the absolute value cannot overflow.
std::int32_t NormaliseField(std::string& text) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int32_t value = std::max(FloorToInt32(LeadingNumber(text)), -kMax);
  const std::int32_t positive = std::abs(value);
  text = NumberToText(positive);
  return positive;
}

void LimitTo(std::string& text, std::int32_t value, std::int32_t limit) {
  if (value > limit) {
    text = NumberToText(limit);
  }
}

std::int32_t FieldValue(const std::string& text) {
  return RoundToInt32(LeadingNumber(text));
}

// Preset or custom size, plus the border, less the task bar.
Size ChosenSize(const SizeChoices& choices) {
  std::int64_t w = 0;
  std::int64_t h = 0;
  if (choices.selectedPreset >= kCustomPreset) {
    w = FieldValue(choices.fields.breit);
    h = FieldValue(choices.fields.hoch);
  } else {
    // A negative index selects no button; it falls back to the first preset
    // rather than reading outside the tables.
    const auto i =
        static_cast<std::size_t>(std::max(choices.selectedPreset, 0));
    w = kPresetWidths[i];
    h = kPresetHeights[i];
  }
  if (choices.chkBorder == 1) {
    const std::int64_t b = FieldValue(choices.fields.border);
    w += 2 * b;
    h += 2 * b;
  }
  if (choices.chkTask == 1) {
    const std::int64_t t = FieldValue(choices.fields.task);
    if (choices.taskBarHorizontal) {
      h -= t;
    } else {
      w -= t;
    }
  }
  return {ClampToInt32(w), ClampToInt32(h)};
}

}  // namespace

void NormaliseInputs(NumericFields& fields, std::int32_t screenWidth,
                     std::int32_t screenHeight) {
  const std::int32_t breit = NormaliseField(fields.breit);
  LimitTo(fields.breit, breit, screenWidth);
  const std::int32_t hoch = NormaliseField(fields.hoch);
  LimitTo(fields.hoch, hoch, screenHeight);
  // A border on every side up to the screen's smaller dimension, a task bar
  // up to its larger one: enough for any real desktop, and never a target
  // that no window could take. Until the screen has been read they keep
  // their values.
  const std::int32_t border = NormaliseField(fields.border);
  const std::int32_t task = NormaliseField(fields.task);
  if (screenWidth > 0 && screenHeight > 0) {
    LimitTo(fields.border, border, std::min(screenWidth, screenHeight));
    LimitTo(fields.task, task, std::max(screenWidth, screenHeight));
  }
}

bool PresetFits(int preset, std::int32_t screenWidth,
                std::int32_t screenHeight) {
  const auto i = static_cast<std::size_t>(preset);
  return screenWidth >= kPresetWidths[i] || screenHeight >= kPresetHeights[i];
}

Size TargetSize(const SizeChoices& choices) {
  const Size s = ChosenSize(choices);
  return {std::max(s.width, kMinimumSize), std::max(s.height, kMinimumSize)};
}

Size AskedSize(SizeChoices choices) {
  constexpr std::int32_t kNoLimit = std::numeric_limits<std::int32_t>::max();
  NormaliseInputs(choices.fields, kNoLimit, kNoLimit);
  return ChosenSize(choices);
}

Rect FitIntoWorkArea(std::int32_t left, std::int32_t top, Size size,
                     const Rect& workArea) {
  std::int64_t l = left;
  std::int64_t t = top;
  if (l + size.width > workArea.right) {
    l = std::int64_t{workArea.right} - size.width;
  }
  if (t + size.height > workArea.bottom) {
    t = std::int64_t{workArea.bottom} - size.height;
  }
  l = std::max<std::int64_t>(l, workArea.left);
  t = std::max<std::int64_t>(t, workArea.top);
  return {ClampToInt32(l), ClampToInt32(t), ClampToInt32(l + size.width),
          ClampToInt32(t + size.height)};
}

}  // namespace pentrax
