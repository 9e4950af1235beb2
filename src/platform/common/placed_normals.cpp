#include "placed_normals.h"

#include "numbers.h"

namespace pentrax {

void PlacedNormals::Placed(WindowHandle window, std::string identity,
                           const Rect& normal) {
  placed_[window] = {std::move(identity), normal};
}

Rect PlacedNormals::NormalOf(WindowHandle window, const std::string& identity,
                             std::int32_t showCmd, const Rect& now) {
  const auto it = placed_.find(window);
  if (it == placed_.end()) {
    return now;
  }
  if (showCmd == kShowNormal) {
    it->second.normal = now;  // where it returns to from now on
    return now;
  }
  if (it->second.identity != identity) {
    placed_.erase(it);
    return now;
  }
  return showCmd == kShowMinimized ? now : it->second.normal;
}

std::string PlacedNormals::Detail(WindowHandle window) const {
  const auto it = placed_.find(window);
  if (it == placed_.end()) {
    return {};
  }
  const Rect& r = it->second.normal;
  return "n " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right) + " " + std::to_string(r.bottom);
}

void PlacedNormals::Take(WindowHandle window, std::string identity,
                         std::string_view detail) {
  const auto n = DetailNumbers(detail, 'n', 4);
  if (n && (*n)[2] > (*n)[0] && (*n)[3] > (*n)[1]) {
    Placed(window, std::move(identity), {(*n)[0], (*n)[1], (*n)[2], (*n)[3]});
  }
}

std::optional<std::vector<std::string_view>> DetailPart(std::string_view detail,
                                                        char name,
                                                        std::size_t count) {
  while (!detail.empty()) {
    const std::size_t end = std::min(detail.find(';'), detail.size());
    std::string_view part = detail.substr(0, end);
    detail.remove_prefix(std::min(end + 1, detail.size()));
    if (part.size() < 2 || part[0] != name || part[1] != ' ') {
      continue;
    }
    part.remove_prefix(2);
    std::vector<std::string_view> words;
    while (!part.empty() && words.size() <= count) {
      const std::size_t blank = std::min(part.find(' '), part.size());
      words.push_back(part.substr(0, blank));
      part.remove_prefix(std::min(blank + 1, part.size()));
    }
    return words.size() == count ? std::optional(words) : std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::vector<std::int32_t>> DetailNumbers(std::string_view detail,
                                                       char name,
                                                       std::size_t count) {
  const auto words = DetailPart(detail, name, count);
  if (!words) {
    return std::nullopt;
  }
  std::vector<std::int32_t> numbers;
  for (const std::string_view w : *words) {
    const auto n = ReadWholeNumber(w);
    if (!n) {
      return std::nullopt;
    }
    numbers.push_back(*n);
  }
  return numbers;
}

}  // namespace pentrax
