#pragma once
// Brushes for SWF gradient fills. Gradients live in a square of -16384..16384
// twips mapped into the shape by the fill's matrix.
#include "movie/swf/Shape.h"
#include "movie/swf/Types.h"
#include <QBrush>
#include <QGradient>

namespace nimbrel::movie::render {

// Where the records sit along the gradient. The smooth stage qualities draw
// from a 256-cell ramp in which every record owns the cell at its ratio;
// low quality blends straight between the records, ratio 255 being the end.
enum class GradientRamp { Cells, Points };

// Stops with the colour transform applied; linear-RGB interpolation is
// approximated with extra stops since Qt blends in sRGB only. A ratio not
// above the previous record's moves up one step either way.
QGradientStops gradientStops(const swf::Gradient& g, const swf::ColorTransform& cx,
                             GradientRamp ramp = GradientRamp::Cells);

// The brush in shape coordinates (twips); an empty gradient gives Qt::NoBrush.
QBrush gradientBrush(const swf::FillStyle& fill, const swf::ColorTransform& cx,
                     GradientRamp ramp = GradientRamp::Cells);

} // namespace nimbrel::movie::render
