#pragma once
// An ActionScript 3 player over a one-frame movie that embeds the "Box" font
// (id 1) and places a dynamic text field (id 2) named "field" on the main
// timeline, with helpers to make, read and call script objects.
#include "movie/MoviePlayer.h"
#include "movie/avm2/Avm2ScriptEngine.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/StageBridge.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/TextFieldFixtures.h"
#include <functional>
#include <gtest/gtest.h>

namespace nimbrel::movie::test {

inline QByteArray as3TextMovie(const FieldSpec& field) {
    AbcBodySpec body;
    body.code = AbcCode().op(avm2::Op::ReturnVoid).data();
    SwfBuilder swf;
    swf.tag(69, QByteArray("\x08\0\0\0", 4));
    defineBoxFont(swf, 1);
    defineField(swf, field);
    Placement p;
    p.characterId = 2;
    p.name = QStringLiteral("field");
    swf.placeObject2(p);
    AbcBytes doAbc;
    doAbc.u8(0).u8(0).u8(0).u8(0).u8(0).bytes(AbcBuilder::withBody(body));
    swf.tag(82, doAbc.data(), true);
    swf.showFrame();
    swf.end();
    return swf.build(SwfBuilder::Container::Fws, 10, {0, 8000, 0, 6000}, 24, 1);
}

struct Avm2TextMovie : ::testing::Test {
    MoviePlayer player;
    avm2::Runtime* rt = nullptr;
    avm2::StageBridge* bridge = nullptr;

    void load(const FieldSpec& field = {}) {
        ASSERT_TRUE(player.loadData(as3TextMovie(field), QString(), QString()));
        auto* engine = dynamic_cast<avm2::Avm2ScriptEngine*>(&player.root()->context()->scripts());
        ASSERT_NE(engine, nullptr);
        rt = engine->runtime();
        bridge = engine->bridge();
    }
    void SetUp() override { load(); }

    static avm2::Name name(const char* n) { return avm2::Name::publicName(QString::fromLatin1(n)); }
    avm2::Value make(const char* cls, std::vector<avm2::Value> args = {}) {
        return rt->construct(avm2::Value::object(rt->builtin(QString::fromLatin1(cls))->shared_from_this()),
                             avm2::Args{args.data(), int(args.size())});
    }
    avm2::Value get(const avm2::Value& on, const char* property) { return avm2::PropertyAccess::get(*rt, on, name(property)); }
    void set(const avm2::Value& on, const char* property, const avm2::Value& v) {
        avm2::PropertyAccess::set(*rt, on, name(property), v);
    }
    avm2::Value call(const avm2::Value& on, const char* method, std::vector<avm2::Value> args = {}) {
        return avm2::PropertyAccess::call(*rt, on, name(method), avm2::Args{args.data(), int(args.size())});
    }
    QString text(const avm2::Value& v) { return rt->toString(v); }
    double number(const avm2::Value& v) { return rt->toNumber(v); }
    static avm2::Value str(const char* s) { return avm2::Value::string(QString::fromUtf8(s)); }
    static avm2::Value num(double d) { return avm2::Value::number(d); }
    // The error id a call raises, 0 when it raises nothing.
    int errorId(const std::function<void()>& run) {
        try {
            run();
        } catch (const avm2::ScriptThrow& t) {
            return rt->toInt32(avm2::PropertyAccess::get(*rt, t.value, name("errorID")));
        }
        return 0;
    }
};

} // namespace nimbrel::movie::test
