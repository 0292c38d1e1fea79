#pragma once
// Something on the display list: a placed shape, morph, clip or button with
// the properties its placement (or a script) gave it. Depths are the file's
// depths; scripts see timeline depths shifted down by 16384.
#include <cmath>
#include "movie/swf/BlendMode.h"
#include "movie/swf/ClipEvent.h"
#include "movie/swf/Filter.h"
#include "movie/swf/PlaceObject.h"
#include "movie/swf/Types.h"
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

namespace nimbrel::movie::display {

class MovieClip;
class MovieContext;

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    enum class Type { Shape, MorphShape, MovieClip, Button, Text, EditText, Bitmap, Video };

    DisplayObject(Type type, MovieContext* context, uint16_t characterId);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    Type type() const { return type_; }
    MovieContext* context() const { return context_; }
    uint16_t characterId() const { return characterId_; }
    // Larger for objects made later; frame scripts of siblings run newest first.
    uint64_t creationOrder() const { return creationOrder_; }
    MovieClip* parent() const { return parent_; }
    void setParent(MovieClip* p) { parent_ = p; }
    int depth() const { return depth_; }
    void setDepth(int d) { depth_ = d; }
    // Nesting level below the root (root is 0).
    int level() const;

    const QString& name() const { return name_; }
    void setName(const QString& name); // tells the script engine
    // The name the timeline gave it (scripts may name objects otherwise).
    const QString& placedName() const { return placedName_; }
    // Dotted path from the root as scripts write it ("_level0.a.b").
    QString path() const;

    swf::Matrix matrix;
    swf::ColorTransform cxform;
    uint16_t ratio = 0;
    int clipDepth = 0; // > 0: this object masks the depths above it up to clipDepth
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> filters;
    bool cacheAsBitmap = false;
    bool visible = true;
    // Filled behind the object over its bounds, as an opaque rectangle (0xRRGGBB).
    std::optional<uint32_t> opaqueBackground;
    bool placedByScript = false; // timeline rebuilds leave it alone
    // A script moved, scaled, turned or faded it: the timeline's placements no longer change those.
    bool transformedByScript = false;
    // The frame of the parent's timeline whose placement made this instance (-1: none).
    int placedFrame = -1;
    swf::ClipActionList clipActions;

    // Applies the fields a PlaceObject carries (the character itself aside).
    void applyPlacement(const swf::PlaceObject& po);

    // Bounds in the object's own coordinates, twips; empty when nothing is drawn.
    virtual QRectF localBounds() const = 0;
    // Bounds after the object's matrix (its parent's coordinates), twips.
    QRectF boundsInParent() const;

    // Script-facing properties, in pixels, percent and degrees.
    double x() const { return matrix.tx / 20.0; }
    double y() const { return matrix.ty / 20.0; }
    // Positions are kept in whole twips, cut toward zero.
    void setX(double px) { matrix.tx = std::trunc(px * 20.0); }
    void setY(double px) { matrix.ty = std::trunc(px * 20.0); }
    double xScale() const;
    double yScale() const;
    double rotation() const;
    void setXScale(double percent);
    void setYScale(double percent);
    void setRotation(double degrees);
    double alpha() const { return cxform.aMult * 100.0 / 256.0; }
    void setAlpha(double percent);
    double width() const { return boundsInParent().width() / 20.0; }
    double height() const { return boundsInParent().height() / 20.0; }
    virtual void setWidth(double px);
    virtual void setHeight(double px);

    // The object leaves the stage: unload events, script references.
    virtual void removed();

private:
    Type type_;
    MovieContext* context_;
    uint16_t characterId_;
    uint64_t creationOrder_ = 0;
    MovieClip* parent_ = nullptr;
    int depth_ = 0;
    QString name_;
    QString placedName_;
};

} // namespace nimbrel::movie::display
