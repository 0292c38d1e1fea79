#pragma once
// A hash of everything that decides how an object's content looks, below the
// object's own matrix and colour transform: characters, frames, children's
// placements and effects, drawn shapes. Equal fingerprints mean a layer drawn
// earlier can be reused. Objects whose content can change without a trace in
// the display list (text fields, bitmaps scripts paint) have none.
#include <QSize>
#include <QTransform>
#include <cstdint>
#include <optional>

namespace nimbrel::movie::display {
class DisplayObject;
}

namespace nimbrel::movie::render {

class ContentFingerprint {
public:
    static std::optional<uint64_t> of(const display::DisplayObject& object);
    // The whole stage as drawn: root's content and its own placement, the
    // stage transform, the picture's size, background and quality. Frame
    // numbers do not count: frames showing the same objects look the same.
    static std::optional<uint64_t> ofStage(const display::DisplayObject& root, const QTransform& stage,
                                           const QSize& pixels, uint32_t background, int quality);

    // Objects beyond this many are not worth walking every frame.
    static constexpr int maxObjects = 4096;
};

} // namespace nimbrel::movie::render
