#include "x11_frame_extents.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace pentrax {

std::optional<Insets> X11FrameExtents(std::uint32_t window) {
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(
      xcb_connect(nullptr, nullptr), &xcb_disconnect);
  if (xcb_connection_has_error(x.get()) != 0) {
    return std::nullopt;
  }
  const auto reply = [](auto* r) {
    return std::unique_ptr<std::remove_pointer_t<decltype(r)>,
                           decltype(&std::free)>(r, &std::free);
  };
  static constexpr char kName[] = "_NET_FRAME_EXTENTS";
  const auto atom = reply(xcb_intern_atom_reply(
      x.get(), xcb_intern_atom(x.get(), 1, sizeof kName - 1, kName), nullptr));
  if (!atom || atom->atom == XCB_ATOM_NONE) {
    return Insets{};
  }
  const auto property = reply(xcb_get_property_reply(
      x.get(),
      xcb_get_property(x.get(), 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 4),
      nullptr));
  if (!property || property->format != 32 ||
      xcb_get_property_value_length(property.get()) != 16) {
    return Insets{};
  }
  // left, right, top, bottom
  const auto* v =
      static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
  const auto side = [v](int i) {
    return static_cast<std::int32_t>(std::min<std::uint32_t>(v[i], 0x7fff));
  };
  return Insets{side(0), side(2), side(1), side(3)};
}

}  // namespace pentrax
