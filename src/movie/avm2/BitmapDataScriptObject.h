#pragma once
// A flash.display.BitmapData as scripts hold it: the shared pixels, made by
// the constructor (a subclass instance has none until its super() call).
#include "movie/avm2/ScriptObject.h"
#include "movie/bitmap/BitmapPixels.h"
#include <memory>

namespace nimbrel::movie::avm2 {

class BitmapDataScriptObject : public ScriptObject {
public:
    std::unique_ptr<bitmap::BitmapPixels> pixels;
};

} // namespace nimbrel::movie::avm2
