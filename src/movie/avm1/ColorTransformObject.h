#pragma once
// A flash.geom.ColorTransform instance: four multipliers and four offsets
// (red, green, blue, alpha) kept as numbers, not as script properties.
#include "movie/avm1/Object.h"
#include "movie/swf/Types.h"

namespace nimbrel::movie::avm1 {

class ColorTransformObject : public Object {
public:
    ColorTransformObject(Interpreter& vm, Object* proto) : Object(vm, proto) {}

    double mult[4] = {1, 1, 1, 1}; // red, green, blue, alpha
    double add[4] = {0, 0, 0, 0};

    // The display list's fixed-point form (multipliers in 1/256).
    swf::ColorTransform toSwf() const;
    void setFromSwf(const swf::ColorTransform& cx);
};

} // namespace nimbrel::movie::avm1
