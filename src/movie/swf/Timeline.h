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
#include <utility>
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

// A named run of frames, as the movie's scene table declares it.
struct SceneSpan {
    QString name;
    int first = 0; // 0-based frame the scene starts on
    int count = 1; // frames it holds
};

struct Timeline {
    // Frames as stored; the declared count may be larger (those frames are empty)
    // without costing memory for each, so a lying count stays cheap.
    std::vector<Frame> frames;
    int declaredFrames = 1; // at least 1
    // The stream sound its SoundStreamBlocks belong to; the last head of the timeline wins.
    std::optional<SoundStreamHead> streamHead;

    // The scene table as stored (start frame, name), in file order; empty when the
    // movie declares none.
    std::vector<std::pair<int, QString>> sceneTable;

    int frameCount() const { return declaredFrames; }
    // Scenes in frame order covering every frame; one "Scene 1" without a table.
    std::vector<SceneSpan> scenes() const;
    // Index into scenes() of the scene holding frame (0-based).
    int sceneIndexAt(int frame) const;
    const Frame& frame(int index) const;
    // First frame carrying label, compared without ASCII letter case; -1 if none.
    int frameOfLabel(const QString& label) const { return frameOfLabel(label, 0, frameCount()); }
    // The same, among frames [from, to) only.
    int frameOfLabel(const QString& label, int from, int to) const;
};

} // namespace nimbrel::movie::swf
