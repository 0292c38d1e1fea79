#pragma once
// Draws a display list: composes matrices and colour transforms down the
// tree, applies clip-depth masks, and gives an object an offscreen layer only
// when it has filters or a blend mode other than normal.
#include "movie/display/ButtonObject.h"
#include "movie/display/MovieClip.h"
#include "movie/render/RenderCache.h"
#include "movie/swf/Movie.h"
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <vector>

namespace nimbrel::movie::render {

class StageRenderer {
public:
    // Flash's stage quality: "low" draws edges and bitmaps aliased, the others
    // anti-alias; the player's default is High.
    enum class Quality { Low, Medium, High, Best };
    // Quality named as movies and player options name it; fallback otherwise.
    static Quality qualityFromName(const QString& name, Quality fallback = Quality::High);

    // Mask outlines and filtered layers, kept across frames by whoever owns the movie.
    using OutlineCache = RenderCache;

    explicit StageRenderer(const swf::Movie& movie, OutlineCache* cache = nullptr) : movie_(movie), cache_(cache) {}

    // Draws root's display list over what target holds; stage maps the
    // root's twips to target pixels.
    void render(QImage& target, const display::MovieClip& root, const QTransform& stage);

    // A new picture of `pixels` over `background` with root's display list
    // drawn on it. With a cache, a stage that has not changed since the last
    // picture (same objects, places, frames, size and quality) gives that
    // picture back undrawn; a stage holding objects that change unseen (text
    // fields, script-painted bitmaps) is always drawn.
    QImage picture(const QSize& pixels, const QColor& background, const display::MovieClip& root,
                   const QTransform& stage);

    // Draws one object on its own, as scripts snapshot it into a bitmap: its
    // own place, colour and blend mode are left out, `toTarget` maps its local twips to
    // target pixels, `cx` colours it and `clip` (target pixels) bounds it.
    void drawDetached(QImage& target, const display::DisplayObject& object, const QTransform& toTarget,
                      const swf::ColorTransform& cx, const QPainterPath* clip);

    void setQuality(Quality q) { quality_ = q; }
    Quality quality() const { return quality_; }

    // Area an object covers as a mask (fills, not strokes), in the coordinates
    // `toDevice` maps it into.
    QPainterPath outline(const display::DisplayObject& object, const QTransform& toDevice) const;

private:
    struct Surface {
        QImage* image = nullptr;
        QPainter painter;
        const QPainterPath* clip = nullptr; // the clip the painter holds now
        // The image is an ancestor's blend layer: alpha and erase objects cut
        // into it. On the stage itself they have nothing to act on.
        bool group = false;
    };
    using Children = std::map<int, std::shared_ptr<display::DisplayObject>>;

    void drawFrame(QImage& target, const display::MovieClip& root, const QTransform& stage);
    void drawChildren(Surface& s, const Children& children, const QTransform& t, const swf::ColorTransform& cx,
                      const QPainterPath* clip);
    void drawList(Surface& s, const display::DisplayObject* const* items, size_t count, const QTransform& t,
                  const swf::ColorTransform& cx, const QPainterPath* clip);
    void drawMasked(Surface& s, const display::DisplayObject& mask, const display::DisplayObject* const* items,
                    size_t count, const QTransform& t, const swf::ColorTransform& cx, const QPainterPath* clip);
    void drawObject(Surface& s, const display::DisplayObject& o, const QTransform& t, const swf::ColorTransform& cx,
                    const QPainterPath* clip);
    void drawContent(Surface& s, const display::DisplayObject& o, const QTransform& t, const swf::ColorTransform& cx,
                     const QPainterPath* clip);
    // A clip: what its drawing methods drew, then its children above.
    void drawClip(Surface& s, const display::MovieClip& clip, const QTransform& t, const swf::ColorTransform& cx,
                  const QPainterPath* mask);
    void drawLayered(Surface& s, const display::DisplayObject& o, const QTransform& t, const swf::ColorTransform& cx,
                     const QPainterPath* clip);
    void begin(Surface& s, QImage& image);
    // Paints area, shifted, in black on p: a mask's coverage at the stage quality.
    void cover(QPainter& p, const QPainterPath& area, QPoint shift) const;
    static void applyClip(Surface& s, const QPainterPath* clip);
    static void forgetClip(Surface& s);

    const swf::Movie& movie_;
    OutlineCache* cache_;
    Quality quality_ = Quality::High;
    double stageScaleX_ = 1, stageScaleY_ = 1; // stage pixels to device pixels
};

} // namespace nimbrel::movie::render
