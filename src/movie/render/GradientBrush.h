#pragma once
// Brushes for SWF gradient fills. Gradients live in a square of -16384..16384
// twips mapped into the shape by the fill's matrix.
#include "movie/swf/Shape.h"
#include "movie/swf/Types.h"
#include <QBrush>
#include <QGradient>

namespace nimbrel::movie::render {

// Stops with the colour transform applied; linear-RGB interpolation is
// approximated with extra stops since Qt blends in sRGB only.
QGradientStops gradientStops(const swf::Gradient& g, const swf::ColorTransform& cx);

// The brush in shape coordinates (twips); an empty gradient gives Qt::NoBrush.
QBrush gradientBrush(const swf::FillStyle& fill, const swf::ColorTransform& cx);

} // namespace nimbrel::movie::render
