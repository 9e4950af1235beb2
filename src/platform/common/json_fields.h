// Members of what a desktop answers in JSON (sway's tree, the KWin agent's
// answers), read leniently: a member that is missing, or of another type
// than expected, reads as absent, and numbers are clamped to 32 bits.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "box_rect.h"

namespace pentrax::json_fields {

inline const nlohmann::json* Member(const nlohmann::json& node,
                                    const char* key) {
  if (!node.is_object()) {
    return nullptr;
  }
  const auto it = node.find(key);
  return it != node.end() ? &*it : nullptr;
}

inline double Number(const nlohmann::json& node, const char* key) {
  const nlohmann::json* v = Member(node, key);
  return v != nullptr && v->is_number() ? v->get<double>() : 0;
}

inline std::int32_t Int32(const nlohmann::json& node, const char* key,
                          std::int32_t absent = 0) {
  const nlohmann::json* v = Member(node, key);
  return v != nullptr && v->is_number() ? ClampCoordinate(v->get<double>())
                                        : absent;
}

inline std::string Text(const nlohmann::json& node, const char* key) {
  const nlohmann::json* v = Member(node, key);
  return v != nullptr && v->is_string() ? v->get<std::string>() : "";
}

inline bool Flag(const nlohmann::json& node, const char* key) {
  const nlohmann::json* v = Member(node, key);
  return v != nullptr && v->is_boolean() && v->get<bool>();
}

}  // namespace pentrax::json_fields
