// A clip placed on the frame whose init actions register its class takes that
// class: init actions run before the clips of their frame are constructed.
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::SwfBuilder;

namespace {

// Sprite 1 exported as "Kid" and placed as "kid"; after the placement, in the
// same frame, init actions define Kid (tracing "constructed") and register it.
QByteArray movieRegisteringAfterPlacement() {
    SwfBuilder b;
    b.placeEmptyClip(1, QStringLiteral("kid"));
    b.tag(56, QByteArray("\x01\x00\x01\x00" "Kid\0", 8));
    ActionAssembler body;
    body.traceString("constructed");
    ActionAssembler init;
    init.defineFunction("Kid", {}, body);
    init.getVariable("Kid").pushString("Kid").pushInt(2).getVariable("Object").pushString("registerClass").op(0x52).op(0x17);
    b.tag(59, QByteArray("\x01\x00", 2) + init.tagBody());
    ActionAssembler frame;
    frame.getVariable("kid").pushString("constructor").op(0x4E).getVariable("Kid").op(0x49).trace();
    b.doAction(frame.tagBody());
    b.showFrame();
    b.end();
    return b.build();
}

} // namespace

TEST(RegisterClassOrder, ClipPlacedBeforeTheInitActionsOfItsFrameTakesTheirClass) {
    MoviePlayer player;
    QStringList traces;
    player.setTraceSink([&](const QString& line) { traces << line; });
    ASSERT_TRUE(player.loadData(movieRegisteringAfterPlacement()));
    EXPECT_EQ(traces, QStringList({"constructed", "true"}));
}
