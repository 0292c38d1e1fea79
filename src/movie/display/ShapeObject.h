#pragma once
// A placed DefineShape.
#include "movie/display/DisplayObject.h"
#include "movie/swf/Shape.h"

namespace nimbrel::movie::display {

class ShapeObject : public DisplayObject {
public:
    ShapeObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::ShapeDef> def)
        : DisplayObject(Type::Shape, context, characterId), def_(std::move(def)) {}

    const swf::ShapeDef& def() const { return *def_; }
    QRectF localBounds() const override { return def_->bounds.toQRectF(); }

private:
    std::shared_ptr<const swf::ShapeDef> def_;
};

} // namespace nimbrel::movie::display
