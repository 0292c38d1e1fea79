#pragma once
// BitmapData.draw and applyFilter: a clip, button, field or bitmap painted
// into a bitmap, and a filter run over a bitmap's pixels.
#include "movie/avm1/Value.h"
#include <vector>

namespace nimbrel::movie::avm1 {

class BitmapDataObject;
class Interpreter;

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing):
// the source as it is in its own coordinates (its place, colour and blend
// mode left out), through the matrix, inside the clip rectangle.
Value drawIntoBitmap(Interpreter& vm, BitmapDataObject& target, const std::vector<Value>& args);

// applyFilter(source, sourceRect, destPoint, filter): the filtered source area
// replaces the destination's pixels it covers (grown by the filter's reach).
Value applyFilterToBitmap(Interpreter& vm, BitmapDataObject& target, const std::vector<Value>& args);
// generateFilterRect(sourceRect, filter): the area applyFilter would change.
Value filterRectOf(Interpreter& vm, const std::vector<Value>& args);

} // namespace nimbrel::movie::avm1
