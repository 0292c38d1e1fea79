#pragma once
// Composes an offscreen layer onto its parent with a SWF blend mode.
#include "movie/swf/BlendMode.h"
#include <QImage>
#include <QPoint>

namespace nimbrel::movie::render {

// Both images premultiplied ARGB32; `layer`'s top-left lands at `at` in dst.
// Alpha and Erase change dst's alpha only (the parent layer must be a layer of its own).
void compose(QImage& dst, const QImage& layer, QPoint at, swf::BlendMode mode);

} // namespace nimbrel::movie::render
