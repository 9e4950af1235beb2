#include "kwin_protocol.h"

#include <nlohmann/json.hpp>

#include "box_rect.h"
#include "json_fields.h"

namespace pentrax {
namespace {

using nlohmann::json;
using namespace json_fields;

std::optional<Rect> RectOf(const json& box) {
  if (!box.is_array() || box.size() != 4) {
    return std::nullopt;
  }
  for (const auto& v : box) {
    if (!v.is_number()) {
      return std::nullopt;
    }
  }
  return RectFromBox(box[0].get<double>(), box[1].get<double>(),
                     box[2].get<double>(), box[3].get<double>());
}

json BoxOf(const Rect& r) {
  return json::array({r.left, r.top, r.width(), r.height()});
}

std::optional<json> Parse(const std::string& answer) {
  json j = json::parse(answer, nullptr, /*allow_exceptions=*/false);
  if (!j.is_object() || j.contains("error")) {
    return std::nullopt;
  }
  return j;
}

}  // namespace

std::string ActiveWindowRequest() { return json{{"op", "active"}}.dump(); }

std::string ReadWindowRequest(const std::string& uuid) {
  return json{{"op", "read"}, {"id", uuid}}.dump();
}

std::string WorkAreaRequest() { return json{{"op", "area"}}.dump(); }

std::string ListRequest(bool all) {
  return json{{"op", "list"}, {"all", all}}.dump();
}

bool IsQuickTile(std::string_view name) {
  for (const char* tile : {"Left", "Right", "Top", "Bottom", "TopLeft",
                           "TopRight", "BottomLeft", "BottomRight"}) {
    if (name == tile) {
      return true;
    }
  }
  return false;
}

std::string PlaceWindowRequest(const std::string& uuid, const Rect& normal,
                               const std::string& show,
                               const std::string& tile) {
  return json{{"op", "place"},
              {"id", uuid},
              {"rect", BoxOf(normal)},
              {"show", show},
              {"tile", IsQuickTile(tile) ? tile : ""}}
      .dump();
}

std::optional<KWinWindow> WindowOfAnswer(const std::string& answer) {
  const auto j = Parse(answer);
  if (!j || !j->contains("window") || !(*j)["window"].is_object()) {
    return std::nullopt;
  }
  const json& w = (*j)["window"];
  const auto member = [&w](const char* key) {
    const auto it = w.find(key);
    return it != w.end() ? RectOf(*it) : std::nullopt;
  };
  const auto frame = member("frame");
  const auto client = member("client");
  const auto area = member("area");
  const auto screen = member("screen");
  if (!frame || !area || !screen) {
    return std::nullopt;
  }
  const auto id = w.find("id");
  if (id == w.end() || !id->is_string()) {
    return std::nullopt;
  }
  KWinWindow k;
  k.uuid = id->get<std::string>();
  k.caption = Text(w, "caption");
  k.resourceClass = Text(w, "resourceClass");
  k.pid = Int32(w, "pid");
  k.frame = *frame;
  k.client = client;
  k.area = *area;
  k.screen = *screen;
  k.minimized = Flag(w, "minimized");
  k.fullScreen = Flag(w, "fullScreen");
  k.tiled = Flag(w, "tiled");
  k.maximizeMode = Int32(w, "maximizeMode", -1);
  if (const std::string tile = Text(w, "tile"); IsQuickTile(tile)) {
    k.tile = tile;
  }
  const auto x11 = w.find("x11");
  if (x11 != w.end() && x11->is_number_unsigned() &&
      x11->get<std::uint64_t>() <= UINT32_MAX) {
    k.x11Window = x11->get<std::uint32_t>();
  }
  return k;
}

std::optional<Rect> AreaOfAnswer(const std::string& answer,
                                 const char* member) {
  const auto j = Parse(answer);
  if (!j || !j->contains(member)) {
    return std::nullopt;
  }
  return RectOf((*j)[member]);
}

std::vector<std::string> WindowsOfAnswer(const std::string& answer) {
  std::vector<std::string> uuids;
  const auto j = Parse(answer);
  const auto list = j ? j->find("windows") : json::const_iterator();
  if (!j || list == j->end() || !list->is_array()) {
    return uuids;
  }
  for (const json& id : *list) {
    if (id.is_string()) {
      uuids.push_back(id.get<std::string>());
    }
  }
  return uuids;
}

}  // namespace pentrax
