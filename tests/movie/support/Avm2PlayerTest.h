#pragma once
// A player running an ActionScript 3 movie whose timeline tests drive from
// outside: the movie's tags come from a builder step, the scripts are native
// functions the test calls on the main timeline.
#include "movie/MoviePlayer.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/Avm2ScriptEngine.h"
#include "movie/avm2/ClassObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/ScriptThrow.h"
#include "movie/avm2/StageBridge.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/SwfBuilder.h"
#include <functional>
#include <gtest/gtest.h>

namespace nimbrel::movie::test {

// An ActionScript 3 movie of `frames` frames with an empty script block;
// `before` writes its definitions, `onFrame` what each frame carries.
inline QByteArray as3Movie(int frames, const std::function<void(SwfBuilder&)>& before = {},
                           const std::function<void(SwfBuilder&, int)>& onFrame = {}) {
    AbcBodySpec body;
    body.code = AbcCode().op(avm2::Op::ReturnVoid).data();
    SwfBuilder swf;
    swf.tag(69, QByteArray("\x08\0\0\0", 4));
    if (before) before(swf);
    AbcBytes doAbc;
    doAbc.u8(0).u8(0).u8(0).u8(0).u8(0).bytes(AbcBuilder::withBody(body));
    swf.tag(82, doAbc.data(), true);
    for (int i = 0; i < frames; ++i) {
        if (onFrame) onFrame(swf, i);
        swf.showFrame();
    }
    swf.end();
    return swf.build(SwfBuilder::Container::Fws, 10, {0, 4000, 0, 4000}, 24, uint16_t(frames));
}

struct Avm2PlayerTest : ::testing::Test {
    MoviePlayer player;
    avm2::Avm2ScriptEngine* engine = nullptr;
    avm2::Runtime* rt = nullptr;

    void load(const QByteArray& movie) {
        ASSERT_TRUE(player.loadData(movie, QString(), QString()));
        engine = dynamic_cast<avm2::Avm2ScriptEngine*>(&player.root()->context()->scripts());
        ASSERT_NE(engine, nullptr);
        rt = engine->runtime();
    }
    avm2::Value root() { return engine->bridge()->valueOf(player.root()); }
    avm2::Value make(const char* cls, std::vector<avm2::Value> args = {}) {
        return rt->construct(avm2::Value::object(rt->builtin(QString::fromLatin1(cls))->shared_from_this()),
                             avm2::Args{args.data(), int(args.size())});
    }
    avm2::Value get(const avm2::Value& on, const char* name) {
        return avm2::PropertyAccess::get(*rt, on, avm2::Name::publicName(QString::fromLatin1(name)));
    }
    avm2::Value at(const avm2::Value& array, uint32_t index) {
        avm2::Value out;
        auto* a = dynamic_cast<avm2::ArrayObject*>(array.obj());
        EXPECT_TRUE(a && a->getIndex(index, out)) << index;
        return out;
    }
    QString text(const avm2::Value& on, const char* name) { return rt->toString(get(on, name)); }
    avm2::Value call(const avm2::Value& on, const char* method, std::vector<avm2::Value> args = {}) {
        return avm2::PropertyAccess::call(*rt, on, avm2::Name::publicName(QString::fromLatin1(method)),
                                          avm2::Args{args.data(), int(args.size())});
    }
    avm2::Value fn(avm2::NativeFn f) {
        return avm2::Value::object(rt->makeFunction(avm2::MethodRef{nullptr, 0, f}, nullptr));
    }
    // The errorID of what run throws; 0 when it throws nothing.
    int errorId(const std::function<void()>& run) {
        try {
            run();
        } catch (const avm2::ScriptThrow& t) {
            return rt->toInt32(get(t.value, "errorID"));
        }
        return 0;
    }
};

} // namespace nimbrel::movie::test
