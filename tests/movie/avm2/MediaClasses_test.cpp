// SoundTransform's pan against its four levels, SoundMixer keeping a
// transform in whole percents, and NetConnection's local connection with the
// status events it sends.
#include "movie/avm2/ClassObject.h"
#include "movie/avm2/EventObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/support/Avm2RuntimeTest.h"

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm2;

namespace {

struct MediaClasses : test::Avm2RuntimeTest {
    Value make(const char* cls, std::vector<Value> args = {}) {
        return rt.constructClass(*rt.builtin(QString::fromLatin1(cls)), Args{args.data(), int(args.size())});
    }
    double number(const Value& on, const char* name) {
        return rt.toNumber(PropertyAccess::get(rt, on, Name::publicName(QString::fromLatin1(name))));
    }
    void set(const Value& on, const char* name, const Value& v) {
        PropertyAccess::set(rt, on, Name::publicName(QString::fromLatin1(name)), v);
    }
    Value call(const Value& on, const char* name, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, on, Name::publicName(QString::fromLatin1(name)), Args{args.data(), int(args.size())});
    }
};

// Records each status event's info.code through trace.
Value traceCode(Runtime& rt, const Value&, Args a) {
    const Value info = PropertyAccess::get(rt, a[0], Name::publicName(QStringLiteral("info")));
    rt.host.trace(rt.toString(PropertyAccess::get(rt, info, Name::publicName(QStringLiteral("code")))));
    return Value();
}

} // namespace

TEST_F(MediaClasses, PanSetsTheStraightLevelsAndReadsBackFromThem) {
    const struct {
        double pan, ll, rr;
    } cases[] = {{0, 1, 1}, {0.5, std::sqrt(0.5), std::sqrt(1.5)}, {-0.3, std::sqrt(1.3), std::sqrt(0.7)}, {1, 0, std::sqrt(2.0)}};
    for (const auto& c : cases) {
        const Value t = make("flash.media.SoundTransform", {Value::number(1), Value::number(c.pan)});
        EXPECT_DOUBLE_EQ(number(t, "leftToLeft"), c.ll) << c.pan;
        EXPECT_DOUBLE_EQ(number(t, "rightToRight"), c.rr) << c.pan;
        EXPECT_NEAR(number(t, "pan"), c.pan, 1e-12) << c.pan;
    }
    const Value crossed = make("flash.media.SoundTransform", {Value::number(1), Value::number(0.5)});
    set(crossed, "leftToRight", Value::number(0.5));
    EXPECT_EQ(number(crossed, "pan"), 0) << "crossed channels are no pan";
}

TEST_F(MediaClasses, TheMixerKeepsATransformInWholePercents) {
    const Value given = make("flash.media.SoundTransform", {Value::number(0.999)});
    set(given, "leftToLeft", Value::number(1 - 1.0 / 24));
    const Value mixer = Value::object(rt.builtin(QStringLiteral("flash.media.SoundMixer"))->shared_from_this());
    set(mixer, "soundTransform", given);
    const Value kept = PropertyAccess::get(rt, mixer, Name::publicName(QStringLiteral("soundTransform")));
    EXPECT_DOUBLE_EQ(number(kept, "leftToLeft"), 0.95);
    EXPECT_DOUBLE_EQ(number(kept, "volume"), 0.99);
}

TEST_F(MediaClasses, ALocalConnectionOpensAndClosesWithStatusEvents) {
    const Value connection = make("flash.net.NetConnection");
    EXPECT_EQ(errorId([&] { PropertyAccess::get(rt, connection, Name::publicName(QStringLiteral("protocol"))); }), 2126);
    call(connection, "addEventListener",
         {Value::string(QStringLiteral("netStatus")), Value::object(rt.makeFunction(MethodRef{nullptr, 0, traceCode}, nullptr))});
    call(connection, "connect", {Value::null()});
    call(connection, "connect", {Value::null()});
    EXPECT_TRUE(PropertyAccess::get(rt, connection, Name::publicName(QStringLiteral("connected"))).toBoolean());
    call(connection, "close");
    call(connection, "close");
    EXPECT_EQ(host.lines, (QStringList{"NetConnection.Connect.Success", "NetConnection.Connect.Closed",
                                       "NetConnection.Connect.Success", "NetConnection.Connect.Closed"}));
}
