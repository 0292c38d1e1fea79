#pragma once
// flash.display.BitmapData and BitmapDataChannel over the pixels both
// machines share.
#include "movie/avm2/Value.h"
#include <memory>

class QImage;

namespace nimbrel::movie::avm2 {
class Runtime;
class BitmapDataScriptObject;
class ClassObject;
class BitmapDataClass {
public:
    static void install(Runtime& rt);
    // The bitmap data behind v (null when v is none); ArgumentError #2015 once disposed.
    static BitmapDataScriptObject* live(Runtime& rt, const Value& v);
    // A new BitmapData over a copy of image (a library bitmap, a loaded picture).
    // A new BitmapData over the library bitmap the movie links to cls (or a
    // class it extends); undefined when there is none.
    static Value forLinkedClass(Runtime& rt, const ClassObject* cls);
    static Value fromImage(Runtime& rt, const QImage& image, bool transparent);
};
} // namespace nimbrel::movie::avm2
