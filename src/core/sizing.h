// Turning the user's choices into a target size, and fitting a window of that
// size into the desktop work area.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "window_manager.h"

namespace pentrax {

inline constexpr int kPresetCount = 7;
inline constexpr std::int32_t kCustomPreset = 7;  // "Custom"
inline constexpr std::array<std::int32_t, kPresetCount> kPresetWidths = {
    640, 800, 1024, 1152, 1280, 1280, 1600};
inline constexpr std::array<std::int32_t, kPresetCount> kPresetHeights = {
    480, 600, 768, 864, 960, 1024, 1200};
inline constexpr std::int32_t kMinimumSize = 16;

// The texts of the four numeric fields: custom width (txtBreit), custom height
// (txtHoch), border (txtBorder) and task bar (txtTask).
struct NumericFields {
  std::string breit;
  std::string hoch;
  std::string border;
  std::string task;
};

// The user's choices as the main window holds them.
struct SizeChoices {
  std::int32_t selectedPreset = 0;  // index of the selected optRes button
  NumericFields fields;
  int chkBorder = 0;              // 0, 1 or 2 (grayed); only 1 adds the border
  int chkTask = 0;                // likewise: only 1 takes off the task bar
  bool taskBarHorizontal = true;  // optTask(0); otherwise optTask(1)
};

// Cleans the four fields in place: each reads as its leading number, rounded
// down, made positive and written back as plain decimal text; each is then
// limited to the screen size: the custom width to its width, the custom
// height to its height, and, once the screen size is known (not 0), the
// border to the smaller and the task bar to the larger of the two.
void NormaliseInputs(NumericFields& fields, std::int32_t screenWidth,
                     std::int32_t screenHeight);

// Whether preset i (0 to 6) is offered on a screen of the given size: it is,
// unless it is both wider and taller than the screen.
bool PresetFits(int preset, std::int32_t screenWidth,
                std::int32_t screenHeight);

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// The target outer size from normalised choices: preset or custom size, plus
// the border on both sides, less the task bar, and never below 16 pixels in
// either direction.
Size TargetSize(const SizeChoices& choices);

// What the choices ask for, before anything limits it: their fields read as
// NormaliseInputs reads them (rounded down, made positive) but not limited
// to a screen, and TargetSize's sum without its minimum (0 or less when the
// task bar takes it all). A window that takes another size than this did
// not take what was asked.
Size AskedSize(SizeChoices choices);

// The new normal rectangle for a window of the given size whose normal
// rectangle starts at (left, top), in the work area's coordinates: it keeps
// its position where it fits, moves left or up just enough to end at the work
// area's right or bottom edge where it does not, and never starts left of or
// above the work area.
Rect FitIntoWorkArea(std::int32_t left, std::int32_t top, Size size,
                     const Rect& workArea);

}  // namespace pentrax
