// Any text read as a number, and the size arithmetic on whatever it gives.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "numbers.h"
#include "sizing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double n = pentrax::LeadingNumber(text);
  (void)pentrax::RoundToInt32(n);
  (void)pentrax::FloorToInt32(n);
  (void)pentrax::NumberToText(n, ',');

  // Four fields cut from the input, as a paste could fill them.
  pentrax::SizeChoices choices;
  std::string* fields[] = {&choices.fields.breit, &choices.fields.hoch,
                           &choices.fields.border, &choices.fields.task};
  for (std::size_t i = 0; i < size; ++i) {
    fields[i % 4]->push_back(static_cast<char>(data[i]));
  }
  const std::int32_t screen = pentrax::RoundToInt32(n);
  pentrax::NormaliseInputs(choices.fields, screen, screen / 2);
  for (int preset : {0, 6, 7}) {
    choices.selectedPreset = preset;
    choices.chkBorder = 1;
    choices.chkTask = 1;
    choices.taskBarHorizontal = (size % 2) == 0;
    const pentrax::Size s = pentrax::TargetSize(choices);
    const std::int32_t negated = screen == INT32_MIN ? INT32_MAX : -screen;
    (void)pentrax::FitIntoWorkArea(screen, negated, s, {0, 0, screen, screen});
  }
  return 0;
}
