#include "kwin_protocol.h"

#include <nlohmann/json.hpp>

namespace pentrax {
namespace {

using nlohmann::json;

std::optional<Rect> RectOf(const json& box) {
  if (!box.is_array() || box.size() != 4) {
    return std::nullopt;
  }
  for (const auto& v : box) {
    if (!v.is_number_integer()) {
      return std::nullopt;
    }
  }
  const auto x = box[0].get<std::int32_t>();
  const auto y = box[1].get<std::int32_t>();
  return Rect{x, y, x + box[2].get<std::int32_t>(),
              y + box[3].get<std::int32_t>()};
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

std::string PlaceWindowRequest(const std::string& uuid, const Rect& normal,
                               const std::string& show) {
  return json{
      {"op", "place"}, {"id", uuid}, {"rect", BoxOf(normal)}, {"show", show}}
      .dump();
}

std::optional<KWinWindow> WindowOfAnswer(const std::string& answer) {
  const auto j = Parse(answer);
  if (!j || !j->contains("window") || !(*j)["window"].is_object()) {
    return std::nullopt;
  }
  const json& w = (*j)["window"];
  const auto frame = RectOf(w.value("frame", json()));
  const auto area = RectOf(w.value("area", json()));
  const auto screen = RectOf(w.value("screen", json()));
  if (!frame || !area || !screen) {
    return std::nullopt;
  }
  try {
    KWinWindow k;
    k.uuid = w.at("id").get<std::string>();
    k.caption = w.value("caption", "");
    k.resourceClass = w.value("resourceClass", "");
    k.pid = w.value("pid", std::int64_t{0});
    k.frame = *frame;
    k.area = *area;
    k.screen = *screen;
    k.minimized = w.value("minimized", false);
    k.fullScreen = w.value("fullScreen", false);
    k.maximizeMode = w.value("maximizeMode", -1);
    return k;
  } catch (const json::exception&) {  // a member of the wrong type
    return std::nullopt;
  }
}

std::optional<Rect> WorkAreaOfAnswer(const std::string& answer) {
  const auto j = Parse(answer);
  if (!j || !j->contains("area")) {
    return std::nullopt;
  }
  return RectOf((*j)["area"]);
}

}  // namespace pentrax
