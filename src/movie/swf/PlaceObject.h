#pragma once
// PlaceObject, PlaceObject2 and PlaceObject3 as one record: which fields the
// tag carried and their values. RemoveObject is the record with remove set.
#include "movie/swf/BlendMode.h"
#include "movie/swf/ClipEvent.h"
#include "movie/swf/Filter.h"
#include "movie/swf/ParseResult.h"
#include "movie/swf/Types.h"
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nimbrel::movie::swf {

struct PlaceObject {
    uint16_t depth = 0;
    bool move = false; // modifies the object already at depth
    std::optional<uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> cxform;
    std::optional<uint16_t> ratio;
    std::optional<QString> name;
    std::optional<uint16_t> clipDepth;
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<uint32_t> opaqueBackground; // 0xRRGGBB
    std::optional<QString> className;
    ClipActionList clipActions;

    // tagCode 4, 26 or 70; swfVersion decides the width of clip event flags.
    static ParseResult<PlaceObject> parse(int tagCode, const uint8_t* body, size_t len, int swfVersion);
};

} // namespace nimbrel::movie::swf
