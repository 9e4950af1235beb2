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
  pentrax::ResizedWindowLedger ledger;
  pentrax::SizeChoices choices;
  const std::string sized =
      pentrax::SizeAction({wm, ledger, 7}, choices, 1280, 1024);
  const std::string restored = pentrax::RestoreAction({wm, ledger, 7});
  if (sized.size() > pentrax::kTitleBufferSize + 64 ||
      restored.find('\n') != restored.rfind('\n')) {
    __builtin_trap();
  }
  return 0;
}
