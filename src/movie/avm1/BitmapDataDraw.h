#pragma once
// BitmapData.draw: a clip, button, field or another bitmap painted into a bitmap.
#include "movie/avm1/Value.h"
#include <vector>

namespace nimbrel::movie::avm1 {

class BitmapDataObject;
class Interpreter;

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing):
// the source as it is in its own coordinates (its place, colour and blend
// mode left out), through the matrix, inside the clip rectangle.
Value drawIntoBitmap(Interpreter& vm, BitmapDataObject& target, const std::vector<Value>& args);

} // namespace nimbrel::movie::avm1
