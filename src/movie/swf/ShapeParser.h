#pragma once
// DefineShape (2), DefineShape2 (22), DefineShape3 (32), DefineShape4 (83),
// DefineMorphShape (46) and DefineMorphShape2 (84). The body starts at the
// character id. Bad input gives std::nullopt and a message in *error.
#include "movie/swf/Shape.h"
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace nimbrel::movie::swf {

std::optional<ShapeDef> parseShape(int tagCode, const uint8_t* body, size_t len, QString* error);
std::optional<MorphShapeDef> parseMorphShape(int tagCode, const uint8_t* body, size_t len, QString* error);

} // namespace nimbrel::movie::swf
