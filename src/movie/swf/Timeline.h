#pragma once
// A timeline as stored: per frame, the control tags in file order. Shared by
// the main movie and every DefineSprite.
#include "movie/swf/PlaceObject.h"
#include "movie/swf/SoundTags.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace nimbrel::movie::swf {

struct RemoveObject {
    uint16_t depth = 0;
};
struct DoAction {
    QByteArray actions;
};
struct DoInitAction {
    uint16_t spriteId = 0;
    QByteArray actions;
};

using ControlTag = std::variant<PlaceObject, RemoveObject, DoAction, DoInitAction, StartSound, SoundStreamBlock>;

struct Frame {
    std::vector<ControlTag> tags;
    QStringList labels; // FrameLabels of this frame, in file order
};

struct Timeline {
    // Frames as stored; the declared count may be larger (those frames are empty)
    // without costing memory for each, so a lying count stays cheap.
    std::vector<Frame> frames;
    int declaredFrames = 1; // at least 1
    // The stream sound its SoundStreamBlocks belong to; the last head of the timeline wins.
    std::optional<SoundStreamHead> streamHead;

    int frameCount() const { return declaredFrames; }
    const Frame& frame(int index) const;
    // First frame carrying label, compared without ASCII letter case; -1 if none.
    int frameOfLabel(const QString& label) const;
};

} // namespace nimbrel::movie::swf
