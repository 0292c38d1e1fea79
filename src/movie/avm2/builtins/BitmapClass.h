#pragma once
// flash.display.Bitmap (a display object showing a BitmapData's pixels) and PixelSnapping.
namespace nimbrel::movie::avm2 {
class Runtime;
class BitmapClass {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
