// What the desktops answer, in the place of any answer: sway's layout tree
// (PENTRAX_FUZZ_SWAY), the KWin agent's answers (PENTRAX_FUZZ_KWIN), the
// GNOME extension's replies (PENTRAX_FUZZ_GNOME). Each is read as what it
// describes or as nothing, without a crash, an exception or undefined
// behaviour, and what is read gives no negative size and sound requests.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(PENTRAX_FUZZ_SWAY)
#include "sway_placer.h"
#elif defined(PENTRAX_FUZZ_KWIN)
#include "kwin_protocol.h"
#include "kwin_window_state.h"
#else
#include "shell_protocol.h"
#endif

namespace {

void Check(const pentrax::Rect& r) {
  if (r.width() < 0 || r.height() < 0) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace pentrax;
#if defined(PENTRAX_FUZZ_SWAY)
  const auto layout =
      ReadLayout(nlohmann::json::parse(data, data + size, nullptr, false));
  for (const SwayView& v : layout ? layout->views : std::vector<SwayView>{}) {
    Check(v.outer);
    const SwayTiledPlace place = TiledPlaceOf(v);
    (void)FloatAtCommand(v, v.outer);
    for (const std::int32_t show :
         {kShowMaximized, kShowFullscreen, kShowMinimized, ShowStateOf(v)}) {
      (void)ShowStateCommand(v, show, &place, *layout);
    }
  }
#elif defined(PENTRAX_FUZZ_KWIN)
  const std::string answer(reinterpret_cast<const char*>(data), size);
  (void)WorkAreaOfAnswer(answer);
  (void)WindowsOfAnswer(answer);
  if (const auto w = WindowOfAnswer(answer)) {
    Check(w->frame);
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
    Check(w->frame);
    Check(w->workArea);
    WindowPlacement p;
    p.showCmd = w->showCmd;
    p.rcNormalPosition = w->frame;
    (void)gnome::PlacementRequest(p);
  }
#endif
  return 0;
}
