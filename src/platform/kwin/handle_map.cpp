#include "handle_map.h"

#include <cstdint>

namespace pentrax {

WindowHandle HandleOfUuid(const std::string& uuid) {
  // FNV-1a: fixed, unlike std::hash, across builds and programs.
  std::uint32_t hash = 2166136261U;
  for (const char c : uuid) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
  }
  const auto handle = static_cast<WindowHandle>(hash & 0x7fffffffU);
  return handle != 0 ? handle : 1;
}

WindowHandle HandleMap::HandleOf(const std::string& uuid) {
  const WindowHandle handle = HandleOfUuid(uuid);
  uuids_.try_emplace(handle, uuid);
  return handle;
}

std::optional<std::string> HandleMap::UuidOf(WindowHandle handle) const {
  const auto it = uuids_.find(handle);
  return it != uuids_.end() ? std::optional(it->second) : std::nullopt;
}

}  // namespace pentrax
