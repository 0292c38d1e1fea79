#pragma once
// A morph shape at one ratio, as a drawable style group.
#include "movie/swf/Shape.h"

namespace nimbrel::movie::render {

swf::FillStyle lerpFill(const swf::FillStyle& a, const swf::FillStyle& b, double t);
swf::LineStyle lerpLine(const swf::LineStyle& a, const swf::LineStyle& b, double t);

// ratio 0 gives the start shape, 1 the end shape.
swf::StyleGroup interpolateMorph(const swf::MorphShapeDef& m, double ratio);

} // namespace nimbrel::movie::render
