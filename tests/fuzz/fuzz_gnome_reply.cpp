// Any reply in the place of the GNOME extension's: the arguments of a D-Bus
// reply, each a 32-bit number, an unsigned one or a text, read as the
// foreground window, a window, or nothing, without a crash or undefined
// behaviour.
//
// The input: a tag byte per argument (0: int32, 1: uint32, anything else: a
// string whose length is the next byte), then its bytes.
#include <QVariantList>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "shell_protocol.h"

namespace {

QVariantList Arguments(const std::uint8_t* data, std::size_t size) {
  QVariantList args;
  std::size_t i = 0;
  while (i < size && args.size() < 16) {
    const std::uint8_t tag = data[i++];
    if (tag <= 1) {
      std::uint32_t v = 0;
      const std::size_t n = std::min<std::size_t>(4, size - i);
      std::memcpy(&v, data + i, n);
      i += n;
      args << (tag == 0 ? QVariant(static_cast<qint32>(v)) : QVariant(v));
    } else {
      const std::size_t n = i < size ? std::min<std::size_t>(data[i], size - i - 1) : 0;
      const char* text = reinterpret_cast<const char*>(data + i + (i < size));
      args << QString::fromUtf8(text, static_cast<qsizetype>(n));
      i += n + 1;
    }
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const QVariantList args = Arguments(data, size);
  (void)pentrax::gnome::ParseForeground(args);
  if (const auto w = pentrax::gnome::ParseWindow(args)) {
    pentrax::WindowPlacement p;
    p.showCmd = w->showCmd;
    p.rcNormalPosition = w->frame;
    (void)pentrax::gnome::PlacementRequest(p);
    if (w->frame.width() < 0 || w->workArea.height() < 0) {
      __builtin_trap();  // the reading must give no negative sizes
    }
  }
  return 0;
}
