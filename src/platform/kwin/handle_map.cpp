#include "handle_map.h"

namespace pentrax {

WindowHandle HandleMap::HandleOf(const std::string& uuid) {
  const auto [it, added] =
      handles_.try_emplace(uuid, static_cast<WindowHandle>(uuids_.size() + 1));
  if (added) {
    uuids_.push_back(uuid);
  }
  return it->second;
}

std::optional<std::string> HandleMap::UuidOf(WindowHandle handle) const {
  if (handle <= 0 || static_cast<std::size_t>(handle) > uuids_.size()) {
    return std::nullopt;
  }
  return uuids_[static_cast<std::size_t>(handle) - 1];
}

}  // namespace pentrax
