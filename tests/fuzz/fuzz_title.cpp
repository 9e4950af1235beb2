// Window titles are other programs' bytes: any of them, through the size and
// restore actions and the report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "actions.h"
#include "fake_window_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  (void)pentrax::CleanTitle(bytes);

  pentrax::testing::FakeWindowManager wm;
  wm.Add(7, {10, 20, 110, 220}, bytes);
  wm.foreground = 7;
  pentrax::ResizedWindowLedger ledger;
  pentrax::WindowHandle target = 0;
  pentrax::SizeChoices choices;
  const auto sized =
      pentrax::SizeAction({wm, 1, ledger, target}, choices, 1280, 1024);
  const auto restored = pentrax::RestoreAction({wm, 1, ledger, target});
  if (!sized || !restored || sized->size() > pentrax::kTitleBufferSize + 64) {
    __builtin_trap();
  }
  return 0;
}
