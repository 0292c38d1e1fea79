#include "movie/render/ContentFingerprint.h"
#include "movie/display/VideoObject.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MovieClip.h"
#include <cstring>

namespace nimbrel::movie::render {

namespace {

class Hasher {
public:
    void add(uint64_t v) {
        // FNV-1a over the value's bytes.
        for (int i = 0; i < 8; ++i) {
            h_ ^= (v >> (8 * i)) & 0xFF;
            h_ *= 0x100000001B3ULL;
        }
    }
    void add(double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        add(bits);
    }
    void add(const void* p) { add(uint64_t(reinterpret_cast<uintptr_t>(p))); }
    void add(const swf::Rgba& c) { add(uint64_t(c.r) | uint64_t(c.g) << 8 | uint64_t(c.b) << 16 | uint64_t(c.a) << 24); }
    uint64_t value() const { return h_; }

private:
    uint64_t h_ = 0xCBF29CE484222325ULL;
};

void addPlacement(Hasher& h, const display::DisplayObject& o) {
    h.add(o.matrix.a), h.add(o.matrix.b), h.add(o.matrix.c), h.add(o.matrix.d), h.add(o.matrix.tx), h.add(o.matrix.ty);
    const swf::ColorTransform& cx = o.cxform;
    h.add(uint64_t(cx.rMult) << 32 | uint32_t(cx.gMult)), h.add(uint64_t(cx.bMult) << 32 | uint32_t(cx.aMult));
    h.add(uint64_t(cx.rAdd) << 32 | uint32_t(cx.gAdd)), h.add(uint64_t(cx.bAdd) << 32 | uint32_t(cx.aAdd));
    h.add(uint64_t(o.visible) | uint64_t(o.clipDepth) << 8 | uint64_t(o.blendMode) << 40 | uint64_t(o.depth()) << 48);
    h.add(uint64_t(o.opaqueBackground ? uint64_t(*o.opaqueBackground) | 1ULL << 32 : 0));
}

void addFilters(Hasher& h, const display::DisplayObject& o) {
    h.add(uint64_t(o.filters.size()));
    for (const swf::Filter& f : o.filters) {
        h.add(uint64_t(f.type) | uint64_t(f.inner) << 8 | uint64_t(f.knockout) << 9 | uint64_t(f.compositeSource) << 10 |
              uint64_t(f.onTop) << 11 | uint64_t(uint32_t(f.passes)) << 16);
        h.add(f.blurX), h.add(f.blurY), h.add(f.angle), h.add(f.distance), h.add(f.strength);
        h.add(f.color), h.add(f.highlightColor);
        for (const swf::GradientRecord& g : f.gradient) h.add(uint64_t(g.ratio)), h.add(g.color);
        for (float m : f.colorMatrix) h.add(double(m));
        for (float m : f.matrix) h.add(double(m));
        h.add(double(f.divisor)), h.add(double(f.bias)), h.add(f.defaultColor);
    }
}

// With `frames`, a clip's frame number counts as content too; a whole stage
// needs only what its objects show, so an unchanged loop reads as unchanged.
bool addContent(Hasher& h, const display::DisplayObject& o, int& budget, bool frames) {
    if (--budget < 0) return false;
    h.add(uint64_t(o.type()) << 16 | o.characterId());
    h.add(uint64_t(o.ratio));
    switch (o.type()) {
    case display::DisplayObject::Type::Shape:
    case display::DisplayObject::Type::MorphShape:
    case display::DisplayObject::Type::Text:
        return true; // a character's drawing never changes
    case display::DisplayObject::Type::Video: // the timeline's picture follows the ratio, counted above
        h.add(static_cast<const display::VideoObject&>(o).contentVersion());
        return true;
    case display::DisplayObject::Type::MovieClip: {
        const auto& clip = static_cast<const display::MovieClip&>(o);
        // Bitmap fills show a script's bitmap, which changes unseen.
        if (clip.drawing && clip.drawing->hasBitmaps()) return false;
        if (frames) h.add(uint64_t(clip.currentFrame()));
        h.add(clip.drawing ? clip.drawing->version() + 1 : 0);
        h.add(clip.drawing.get());
        for (const auto& [depth, child] : clip.children()) {
            h.add(child.get());
            addPlacement(h, *child);
            addFilters(h, *child);
            if (!addContent(h, *child, budget, frames)) return false;
        }
        return true;
    }
    case display::DisplayObject::Type::Button:
        for (const auto& [depth, child] : static_cast<const display::ButtonObject&>(o).children()) {
            h.add(child.get());
            addPlacement(h, *child);
            addFilters(h, *child);
            if (!addContent(h, *child, budget, frames)) return false;
        }
        return true;
    default:
        return false; // text fields and bitmaps change behind the display list's back
    }
}

} // namespace

std::optional<uint64_t> ContentFingerprint::of(const display::DisplayObject& object) {
    Hasher h;
    int budget = maxObjects;
    addFilters(h, object);
    h.add(uint64_t(object.blendMode));
    h.add(uint64_t(object.opaqueBackground ? uint64_t(*object.opaqueBackground) | 1ULL << 32 : 0));
    if (!addContent(h, object, budget, true)) return std::nullopt;
    return h.value();
}

std::optional<uint64_t> ContentFingerprint::ofStage(const display::DisplayObject& root, const QTransform& stage,
                                                    const QSize& pixels, uint32_t background, int quality) {
    Hasher h;
    int budget = maxObjects;
    addFilters(h, root);
    h.add(uint64_t(root.blendMode));
    if (!addContent(h, root, budget, false)) return std::nullopt;
    addPlacement(h, root);
    for (double m : {stage.m11(), stage.m12(), stage.m13(), stage.m21(), stage.m22(), stage.m23(), stage.m31(),
                     stage.m32(), stage.m33()})
        h.add(m);
    h.add(uint64_t(uint32_t(pixels.width())) << 32 | uint32_t(pixels.height()));
    h.add(uint64_t(background) << 8 | uint64_t(quality & 0xFF));
    return h.value();
}

} // namespace nimbrel::movie::render
