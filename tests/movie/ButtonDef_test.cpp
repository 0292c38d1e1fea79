// Button characters: state records and the action bytes kept for the interpreter.
#include "movie/support/SwfBuilder.h"
#include "movie/swf/ButtonDef.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::BitWriter;

namespace {
swf::ParseResult<swf::ButtonDef> parseButton(int code, const QByteArray& body) {
    return swf::ButtonDef::parse(code, reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()));
}
} // namespace

TEST(ButtonDef, DefineButtonKeepsRecordsAndItsReleaseActions) {
    BitWriter w;
    w.u16(3);
    w.u8(0x0f); // all four states
    w.u16(1);
    w.u16(2);
    w.matrix({1, 0, 0, 1, 40, 60});
    w.u8(0); // end of records
    w.bytes(QByteArray("\x07\x00", 2)); // actions: Stop, End
    auto b = parseButton(7, w.data());
    ASSERT_TRUE(b.ok()) << b.error().toStdString();
    EXPECT_EQ(b->id, 3);
    ASSERT_EQ(b->records.size(), 1u);
    EXPECT_EQ(b->records[0].states, swf::ButtonUp | swf::ButtonOver | swf::ButtonDown | swf::ButtonHitTest);
    EXPECT_EQ(b->records[0].depth, 2);
    EXPECT_DOUBLE_EQ(b->records[0].matrix.ty, 60);
    ASSERT_EQ(b->actions.size(), 1u);
    EXPECT_EQ(b->actions[0].conditions, swf::CondOverDownToOverUp);
    EXPECT_EQ(b->actions[0].actions, QByteArray("\x07\x00", 2));
}

TEST(ButtonDef, DefineButton2ConditionsKeyCodesAndDamage) {
    BitWriter w;
    w.u16(4);
    w.u8(1); // track as menu
    BitWriter records;
    records.u8(0x01);
    records.u16(1);
    records.u16(1);
    records.matrix({});
    records.cxform({}, true);
    records.u8(0);
    const QByteArray rec = records.data();
    w.u16(uint16_t(2 + rec.size()));
    w.bytes(rec);
    w.u16(6); // size of this condition record
    w.u8(0x80);                       // IdleToOverDown
    w.u8(uint8_t(65 << 1));           // key 'A'
    w.bytes(QByteArray("\x06\x00", 2));
    w.u16(0); // last
    w.u8(0x00);
    w.u8(0x01); // OverDownToIdle
    w.bytes(QByteArray("\x07\x00", 2));
    const QByteArray body = w.data();
    auto b = parseButton(34, body);
    ASSERT_TRUE(b.ok());
    EXPECT_TRUE(b->trackAsMenu);
    ASSERT_EQ(b->actions.size(), 2u);
    EXPECT_EQ(b->actions[0].conditions, swf::CondIdleToOverDown);
    EXPECT_EQ(b->actions[0].keyCode, 65);
    EXPECT_EQ(b->actions[1].conditions, swf::CondOverDownToIdle);
    EXPECT_EQ(b->actions[1].actions, QByteArray("\x07\x00", 2));
    // Every cut either fails or keeps a consistent prefix; none reads past the data.
    for (int cut = 0; cut < body.size(); ++cut) {
        auto r = parseButton(34, body.left(cut));
        if (r.ok()) EXPECT_LE(r->actions.size(), 2u);
    }
}
