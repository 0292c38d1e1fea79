#pragma once
// Applies SWF 8 filters to an object drawn alone into a premultiplied ARGB32 image.
#include "movie/swf/Filter.h"
#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

namespace nimbrel::movie::render {

// scaleX/scaleY: object-to-device scale; blur sizes and distances grow with it.
// *offset receives where the result's top-left lies relative to src's top-left
// (negative when the result is larger). With `seen` (in src's coordinates),
// only what lands there is computed and the result may be cropped to it.
QImage applyFilters(const QImage& src, const std::vector<swf::Filter>& filters, double scaleX, double scaleY,
                    QPoint* offset, const QRect* seen = nullptr);

// objectRect grown by the room the filters need around it (device pixels).
QRect filterMargin(const QRect& objectRect, const std::vector<swf::Filter>& filters, double scaleX, double scaleY);

} // namespace nimbrel::movie::render
