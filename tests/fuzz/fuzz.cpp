// What Pentrax takes from outside, in the place of anything (one target a
// define, PENTRAX_FUZZ_<TARGET>): taken without a crash, an exception or
// undefined behaviour; what is read gives no negative size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "actions.h"
#include "fake_window_manager.h"
#include "numbers.h"
#if defined(PENTRAX_FUZZ_SETTINGS)
#include <unistd.h>

#include "fake_form_view.h"
#include "form_settings.h"
#include "ini_settings_store.h"
#elif defined(PENTRAX_FUZZ_COMMAND_LINE)
#include "command_line.h"
#elif defined(PENTRAX_FUZZ_PLACEMENTS)
#include "placements_file.h"
#elif defined(PENTRAX_FUZZ_SWAY_TREE)
#include "sway_placer.h"
#elif defined(PENTRAX_FUZZ_KWIN_ANSWER)
#include "kwin_protocol.h"
#include "kwin_window_state.h"
#elif defined(PENTRAX_FUZZ_GNOME_REPLY)
#include "shell_protocol.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace pentrax;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  [[maybe_unused]] const auto check = [](const Rect& r) {
    if (r.width() < 0 || r.height() < 0) __builtin_trap();
  };
#if defined(PENTRAX_FUZZ_NUMBERS)
  const double n = LeadingNumber(bytes);
  (void)FloorToInt32(n);
  (void)NumberToText(n, ',');

  // Four fields cut from the input, as a paste could fill them.
  SizeChoices choices{
      .chkBorder = 1, .chkTask = 1, .taskBarHorizontal = (size % 2) == 0};
  std::string* fields[] = {&choices.fields.breit, &choices.fields.hoch,
                           &choices.fields.border, &choices.fields.task};
  for (std::size_t i = 0; i < size; ++i) fields[i % 4]->push_back(bytes[i]);
  const std::int32_t screen = RoundToInt32(n);
  NormaliseInputs(choices.fields, screen, screen / 2);
  const std::int32_t negated = screen == INT32_MIN ? INT32_MAX : -screen;
  for (int preset : {0, 6, 7}) {
    choices.selectedPreset = preset;
    (void)FitIntoWorkArea(screen, negated, TargetSize(choices),
                          {0, 0, screen, screen});
  }
#elif defined(PENTRAX_FUZZ_TITLE)
  // Through the size and restore actions and the report.
  (void)CleanTitle(bytes);
  testing::FakeWindowManager wm;
  wm.Add(7, {10, 20, 110, 220}, bytes);
  ResizedWindowLedger ledger;
  SizeChoices choices;
  const std::string sized = SizeAction({wm, ledger, 7}, choices, 1280, 1024);
  const std::string restored = RestoreAction({wm, ledger, 7});
  if (sized.size() > kTitleBufferSize + 64 ||
      restored.find('\n') != restored.rfind('\n')) {
    __builtin_trap();
  }
#elif defined(PENTRAX_FUZZ_SETTINGS)
  // Pentrax starts on it, and saves, in a file of each input's own.
  static const struct Folder {
    std::string path = mkdtemp(std::string("/tmp/pentrax-fuzz.XXXXXX").data());
    ~Folder() { std::filesystem::remove_all(path); }
  } dir;
  static int inputs = 0;
  const std::string path = dir.path + "/" + std::to_string(++inputs) + ".ini";
  std::ofstream(path, std::ios::binary) << bytes;
  testing::FakeWindowManager wm;
  testing::FakeFormView view;
  ui::FrmPentrax2 form(wm, view);
  // The commands' reader reads a value as the store does, or the default.
  settings::IniFileReader reader(bytes);
  settings::IniSettingsStore store(path, {});
  for (const char* key : {settings::kBorder, settings::kCustomWidth}) {
    const std::string read = reader.Read(key, "\x01");
    if (read != "\x01" && read != store.Read(key, "\x01")) __builtin_trap();
  }
  settings::Attach(form, store);
  form.Timer1_Timer();
  form.NormaliseInputs();
  form.Click(ui::kCmdRestoreDefaults);
  form.Close();
  std::filesystem::remove(path), std::filesystem::remove(path + ".corrupt");
#elif defined(PENTRAX_FUZZ_COMMAND_LINE)
  // The arguments, one a line: understood, in range, or refused with why.
  std::istringstream lines(bytes);
  std::vector<std::string> arguments;
  for (std::string a; std::getline(lines, a);) arguments.push_back(a);
  const auto [o, error, json] = cli::Parse(arguments);
  if (o.has_value() == !error.empty() ||
      (o && ((o->size && (o->size->width < 1 || o->size->height < 1)) ||
             o->timeoutSeconds < 1 || o->window.id < 0))) {
    __builtin_trap();
  }
#elif defined(PENTRAX_FUZZ_PLACEMENTS)
  // What is read (only usable records) is written so that it reads back.
  const auto records = settings::ReadPlacements(bytes);
  if (records && settings::ReadPlacements(
                     settings::WritePlacements(*records)) != records) {
    __builtin_trap();
  }
#elif defined(PENTRAX_FUZZ_SWAY_TREE)
  const auto layout =
      ReadLayout(nlohmann::json::parse(data, data + size, nullptr, false));
  for (const SwayView& v : layout ? layout->views : std::vector<SwayView>{}) {
    check(v.outer);
    const SwayTiledPlace place = TiledPlaceOf(v);
    (void)FloatAtCommand(v, v.outer);
    for (const std::int32_t show :
         {kShowMaximized, kShowFullscreen, kShowMinimized, ShowStateOf(v)}) {
      (void)ShowStateCommand(v, show, &place, *layout);
    }
  }
#elif defined(PENTRAX_FUZZ_KWIN_ANSWER)
  (void)AreaOfAnswer(bytes, "area");
  (void)WindowsOfAnswer(bytes);
  if (const auto w = WindowOfAnswer(bytes)) {
    check(w->frame);
    const std::int32_t show = ShowStateOf(*w);
    (void)FrameAfterPlacing(*w, show, w->frame);
    (void)PlaceWindowRequest(w->uuid, w->frame, ShowOfPlacement(show));
  }
#else
  // The arguments of a reply: a tag byte each (0: int32, 1: uint32, else a
  // string of the length in the next byte), then its bytes.
  QVariantList args;
  for (std::size_t i = 0; i < size && args.size() < 24;) {
    const std::uint8_t tag = data[i++];
    const std::size_t n = tag <= 1 ? 4 : (i < size ? data[i++] : 0);
    const std::size_t take = std::min(n, size - i);
    std::uint32_t v = 0;
    std::memcpy(&v, data + i, std::min<std::size_t>(take, 4));
    args << (tag == 0   ? QVariant(static_cast<qint32>(v))
             : tag == 1 ? QVariant(v)
                        : QVariant(QString::fromUtf8(
                              reinterpret_cast<const char*>(data + i),
                              static_cast<qsizetype>(take))));
    i += take;
  }
  (void)gnome::ParseForeground(args);
  (void)gnome::ParseWindowList(args);
  if (const auto w = gnome::ParseWindow(args)) {
    check(w->frame);
    check(w->workArea);
    WindowPlacement p;
    p.showCmd = w->showCmd;
    p.rcNormalPosition = w->frame;
    (void)gnome::PlacementRequest(p);
  }
#endif
  return 0;
}
