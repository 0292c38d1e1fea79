#pragma once
// A flash.display.BitmapData instance of the first machine: a script object
// over the pixels both machines share the handling of.
#include "movie/avm1/Object.h"
#include "movie/bitmap/BitmapPixels.h"

namespace nimbrel::movie::avm1 {

class BitmapDataObject : public Object, public bitmap::BitmapPixels {
public:
    BitmapDataObject(Interpreter& vm, Object* proto, int width, int height, bool transparent, uint32_t fillArgb)
        : Object(vm, proto), BitmapPixels(width, height, transparent, fillArgb) {}
};

} // namespace nimbrel::movie::avm1
