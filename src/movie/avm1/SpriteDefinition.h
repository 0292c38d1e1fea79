#pragma once
// A timeline read from a SWF file: per frame, the display-list changes and
// the action lists, plus the frame labels.
#include "movie/avm1/ActionCode.h"
#include "movie/avm1/MovieClipObject.h"
#include <QHash>
#include <optional>
#include <vector>

namespace nimbrel::movie::avm1 {

struct PlaceRecord {
    bool move = false;
    int depth = 0;
    int characterId = 0; // 0 when the record only modifies
    std::optional<QString> name;
    bool hasMatrix = false;
    double tx = 0, ty = 0, scaleX = 1, scaleY = 1, rotate0 = 0, rotate1 = 0;
    bool hasColor = false;
    double alphaMult = 1;
    int ratio = -1;
    int clipDepth = 0;
    std::vector<ClipAction> clipActions;
};

struct FrameRecord {
    std::vector<PlaceRecord> places;
    std::vector<int> removals; // depths, applied before placements in tag order
    struct Op { bool remove; int index; };
    std::vector<Op> order;
    std::vector<ActionCode> actions;
};

struct SpriteDefinition {
    int id = 0;
    std::vector<FrameRecord> frames;
    QHash<QString, int> labels; // lower-case label -> 1-based frame
};

} // namespace nimbrel::movie::avm1
