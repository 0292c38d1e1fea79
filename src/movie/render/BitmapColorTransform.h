#pragma once
#include "movie/swf/Types.h"
#include <QImage>

namespace nimbrel::movie::render {

// A copy of a premultiplied ARGB32 image with a colour transform applied to
// its unpremultiplied channels.
QImage colorTransformed(const QImage& src, const swf::ColorTransform& cx);

// True when the transform only scales alpha (painter opacity is enough).
bool isAlphaOnly(const swf::ColorTransform& cx);

} // namespace nimbrel::movie::render
