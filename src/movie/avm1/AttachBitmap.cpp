// MovieClip.attachBitmap: shows a BitmapData in a clip at a script depth.
#include "movie/avm1/BitmapDataObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/BitmapObject.h"
#include "movie/display/MovieClip.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {
constexpr int kBitmapDepthOffset = 16384; // script depths to file depths
}

void installAttachBitmap(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    vm.addMethod(vm.movieClipProto, QStringLiteral("attachBitmap"),
                 [](Interpreter& vm, const Value& self, const std::vector<Value>& a) -> Value {
        auto* clipObject = dynamic_cast<MovieClipObject*>(self.object());
        auto* bitmap = dynamic_cast<BitmapDataObject*>(arg(a, 0).object());
        display::MovieClip* clip = clipObject && !clipObject->isRemoved() ? clipObject->clip() : nullptr;
        if (!clip || !bitmap || bitmap->disposed() || a.size() < 2)
            return Value();
        const double depth = vm.toNumber(a[1]);
        if (!std::isfinite(depth))
            return Value();
        // Smoothing is the fourth argument; pixel snapping (third) changes nothing at whole-pixel positions.
        const bool smoothing = a.size() > 3 && vm.toBoolean(a[3]);
        auto object = std::make_shared<display::BitmapObject>(clip->context(), bitmap->image(), smoothing);
        clip->addScriptObject(object, QString(), vm.toInt32(a[1]) + kBitmapDepthOffset);
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
