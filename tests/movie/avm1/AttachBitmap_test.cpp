// MovieClip.attachBitmap: the bitmap joins the display list and draws its
// current pixels; a disposed bitmap draws nothing.
#include "movie/display/BitmapObject.h"
#include "movie/render/StageRenderer.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

QImage renderStage(Interpreter& vm)
{
    swf::Movie movie;
    render::StageRenderer renderer(movie);
    QImage out(8, 8, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    renderer.render(out, *vm.root->clip(), QTransform::fromScale(1 / 20.0, 1 / 20.0));
    return out;
}

} // namespace

TEST(Avm1AttachBitmap, AttachedBitmapDrawsItsLivePixels)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value ctor = vm.getMember(vm.getMember(vm.global->get("flash"), "display"), "BitmapData");
    Value bitmap = vm.construct(ctor, {Value(2), Value(2), Value(false), Value(double(0xFFFF0000u))});
    Value root(static_cast<Object*>(vm.root));
    vm.callMethod(root, "attachBitmap", {bitmap, Value(5)});
    const auto& children = vm.root->clip()->children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children.begin()->first, 5 + 16384);
    EXPECT_EQ(children.begin()->second->type(), display::DisplayObject::Type::Bitmap);
    EXPECT_EQ(children.begin()->second->localBounds(), QRectF(0, 0, 40, 40)); // twips

    QImage shot = renderStage(vm);
    EXPECT_EQ(shot.pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(shot.pixel(2, 2), 0xFFFFFFFFu); // outside the bitmap
    // Later changes to the BitmapData show without attaching again.
    vm.callMethod(bitmap, "setPixel", {Value(1), Value(1), Value(double(0x0000FF))});
    EXPECT_EQ(renderStage(vm).pixel(1, 1), 0xFF0000FFu);
    vm.callMethod(bitmap, "dispose", {});
    EXPECT_EQ(renderStage(vm).pixel(0, 0), 0xFFFFFFFFu);
}

TEST(Avm1AttachBitmap, RefusesWhatIsNotALiveBitmap)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value root(static_cast<Object*>(vm.root));
    vm.callMethod(root, "attachBitmap", {Value(static_cast<Object*>(vm.newObject())), Value(1)});
    Value ctor = vm.getMember(vm.getMember(vm.global->get("flash"), "display"), "BitmapData");
    Value gone = vm.construct(ctor, {Value(2), Value(2)});
    vm.callMethod(gone, "dispose", {});
    vm.callMethod(root, "attachBitmap", {gone, Value(1)});
    vm.callMethod(root, "attachBitmap", {vm.construct(ctor, {Value(2), Value(2)})}); // no depth
    EXPECT_TRUE(vm.root->clip()->children().empty());
}
