// Window titles as X11 clients publish them, turned into the UTF-8 text the
// reports show. Plain functions: nothing here talks to an X server.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pentrax::x11 {

// The UTF-8 form of Latin-1 text (the STRING type of ICCCM properties).
std::string Latin1ToUtf8(std::string_view latin1);

// The bytes of a title property up to its first NUL.
std::string_view UpToNul(std::string_view bytes);

}  // namespace pentrax::x11
