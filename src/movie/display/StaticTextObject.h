#pragma once
// A placed DefineText/DefineText2: glyphs of embedded fonts.
#include "movie/display/DisplayObject.h"
#include "movie/swf/TextDef.h"

namespace nimbrel::movie::display {

class StaticTextObject : public DisplayObject {
public:
    StaticTextObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::TextDef> def)
        : DisplayObject(Type::Text, context, characterId), def_(std::move(def)) {}

    const swf::TextDef& def() const { return *def_; }
    QRectF localBounds() const override { return def_->bounds.toQRectF(); }

private:
    std::shared_ptr<const swf::TextDef> def_;
};

} // namespace nimbrel::movie::display
