#pragma once
// A placed DefineMorphShape; the placement's ratio picks the in-between shape.
#include "movie/display/DisplayObject.h"
#include "movie/swf/Shape.h"

namespace nimbrel::movie::display {

class MorphShapeObject : public DisplayObject {
public:
    MorphShapeObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::MorphShapeDef> def)
        : DisplayObject(Type::MorphShape, context, characterId), def_(std::move(def)) {}

    const swf::MorphShapeDef& def() const { return *def_; }
    double morphRatio() const { return ratio / 65535.0; }
    QRectF localBounds() const override;

private:
    std::shared_ptr<const swf::MorphShapeDef> def_;
};

} // namespace nimbrel::movie::display
