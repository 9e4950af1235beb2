#include "handle_map.h"

#include <algorithm>
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

WindowHandle HandleMap::Note(const std::string& uuid) {
  const WindowHandle handle = HandleOfUuid(uuid);
  if (!Knows(uuid)) {
    uuids_[handle].push_back(uuid);
  }
  return handle;
}

void HandleMap::NoteAll(const std::vector<std::string>& uuids) {
  uuids_.clear();
  for (const std::string& uuid : uuids) {
    Note(uuid);
  }
}

bool HandleMap::Knows(const std::string& uuid) const {
  const auto it = uuids_.find(HandleOfUuid(uuid));
  return it != uuids_.end() && std::find(it->second.begin(), it->second.end(),
                                         uuid) != it->second.end();
}

std::optional<std::string> HandleMap::UuidOf(WindowHandle handle) const {
  const auto it = uuids_.find(handle);
  return it != uuids_.end() && it->second.size() == 1
             ? std::optional(it->second.front())
             : std::nullopt;
}

bool HandleMap::Shared(WindowHandle handle) const {
  const auto it = uuids_.find(handle);
  return it != uuids_.end() && it->second.size() > 1;
}

}  // namespace pentrax
