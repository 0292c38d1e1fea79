// Loads in the second machine: Loader and URLLoader tell their listeners of
// a good file, a missing one and one of no known kind in the reference
// order, once the frame's scripts ran; the main movie's LoaderInfo describes it.
#include "movie/MoviePlayer.h"
#include "movie/avm2/Avm2ScriptEngine.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/EventObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/StageBridge.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/support/AbcBuilder.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using avm2::Args;
using avm2::Name;
using avm2::PropertyAccess;
using avm2::Value;

namespace {

QStringList heard;

Value recordEvent(avm2::Runtime& rt, const Value&, Args a) {
    auto* e = dynamic_cast<avm2::EventObject*>(a[0].obj());
    QString line = e->eventType;
    if (e->eventType == QLatin1String("ioError"))
        line += QLatin1Char(' ') + rt.toString(PropertyAccess::get(rt, a[0], Name::publicName(QStringLiteral("errorID"))));
    heard << line;
    return Value();
}

QByteArray emptyMovie() {
    test::AbcBodySpec body;
    body.code = test::AbcCode().op(avm2::Op::ReturnVoid).data();
    return test::AbcBuilder::movie({test::AbcBuilder::withBody(body)});
}

struct Avm2Loading : ::testing::Test {
    QTemporaryDir folder;
    MoviePlayer player;
    avm2::Runtime* rt = nullptr;

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        write("good.swf", emptyMovie());
        write("words.txt", "a=1&b=two");
        write("damaged.swf", "this is no movie and no picture");
        ASSERT_TRUE(player.loadData(emptyMovie(), folder.path(), folder.filePath(QStringLiteral("main.swf"))));
        auto* engine = dynamic_cast<avm2::Avm2ScriptEngine*>(&player.root()->context()->scripts());
        ASSERT_NE(engine, nullptr);
        rt = engine->runtime();
        heard.clear();
    }
    void write(const char* name, const QByteArray& bytes) {
        QFile f(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Value make(const char* cls, std::vector<Value> args = {}) {
        return rt->construct(Value::object(rt->builtin(QString::fromLatin1(cls))->shared_from_this()), Args{args.data(), int(args.size())});
    }
    Value get(const Value& on, const char* name) { return PropertyAccess::get(*rt, on, Name::publicName(QString::fromLatin1(name))); }
    Value call(const Value& on, const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(*rt, on, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    void listenToAll(const Value& on) {
        const Value fn = Value::object(rt->makeFunction(avm2::MethodRef{nullptr, 0, recordEvent}, nullptr));
        for (const char* type : {"open", "progress", "init", "httpStatus", "complete", "ioError", "unload"})
            call(on, "addEventListener", {Value::string(QString::fromLatin1(type)), fn});
    }
    int errorIdOf(const std::function<void()>& run) {
        try {
            run();
        } catch (const avm2::ScriptThrow& t) {
            return rt->toInt32(get(t.value, "errorID"));
        }
        return 0;
    }
    Value byteArrayOf(const QByteArray& data) {
        const Value bytes = make("flash.utils.ByteArray");
        static_cast<avm2::ByteArrayObject*>(bytes.obj())->bytes = data;
        return bytes;
    }
    Value request(const char* file) { return make("flash.net.URLRequest", {Value::string(QString::fromLatin1(file))}); }
};

} // namespace

TEST_F(Avm2Loading, LoaderAndUrlLoaderEventsComeInTheReferenceOrder) {
    struct Case {
        const char* what;
        const char* loaderClass;
        const char* file;
        QStringList expected;
    };
    const QStringList loaded = {"open", "progress", "progress", "init", "complete"};
    const Case cases[] = {
        {"a movie", "flash.display.Loader", "good.swf", loaded},
        {"a missing file", "flash.display.Loader", "missing.swf", {"ioError 2035"}},
        {"a file of no known kind", "flash.display.Loader", "damaged.swf", {"open", "progress", "progress", "ioError 2124"}},
        {"text", "flash.net.URLLoader", "words.txt", {"open", "progress", "httpStatus", "complete"}},
        {"missing text", "flash.net.URLLoader", "missing.txt", {"httpStatus", "ioError 2032"}},
    };
    for (const Case& c : cases) {
        heard.clear();
        const Value loader = make(c.loaderClass);
        const bool isLoader = QLatin1String(c.loaderClass) == QLatin1String("flash.display.Loader");
        const Value target = isLoader ? get(loader, "contentLoaderInfo") : loader;
        listenToAll(target);
        call(loader, "load", {request(c.file)});
        EXPECT_TRUE(heard.isEmpty()) << c.what << ": nothing is heard inside the call";
        for (int i = 0; i < 3; ++i) player.stepFrame();
        EXPECT_EQ(heard, c.expected) << c.what;
    }
}

TEST_F(Avm2Loading, WhatCameIsDescribedAndShown) {
    const Value loader = make("flash.display.Loader");
    const Value info = get(loader, "contentLoaderInfo");
    EXPECT_EQ(errorIdOf([&] { get(info, "swfVersion"); }), 2099) << "nothing is known before the file comes";
    call(loader, "load", {request("good.swf")});
    for (int i = 0; i < 3; ++i) player.stepFrame();
    EXPECT_EQ(rt->toInt32(get(info, "bytesTotal")), int(emptyMovie().size()));
    EXPECT_EQ(rt->toInt32(get(info, "bytesLoaded")), int(emptyMovie().size()));
    EXPECT_EQ(rt->toString(get(info, "contentType")), QStringLiteral("application/x-shockwave-flash"));
    EXPECT_EQ(rt->toInt32(get(info, "actionScriptVersion")), 3);
    const Value content = get(loader, "content");
    ASSERT_TRUE(content.isObject());
    EXPECT_EQ(get(content, "loaderInfo").obj(), info.obj()) << "the content's LoaderInfo is the Loader's";
    EXPECT_EQ(rt->toInt32(get(loader, "numChildren")), 1);
    call(loader, "unload");
    EXPECT_TRUE(get(loader, "content").isNull());
    EXPECT_EQ(rt->toInt32(get(loader, "numChildren")), 0);
}

TEST_F(Avm2Loading, TheMainMovieHasItsOwnLoaderInfo) {
    const Value root = rt->stage->valueOf(player.root());
    const Value info = get(root, "loaderInfo");
    // Its init and complete went out with the first frame, which loading the movie showed.
    listenToAll(info);
    for (int i = 0; i < 2; ++i) player.stepFrame();
    EXPECT_TRUE(heard.isEmpty()) << "init and complete come once";
    EXPECT_EQ(get(info, "content").obj(), root.obj());
    EXPECT_EQ(rt->toInt32(get(info, "bytesTotal")), int(emptyMovie().size()));
    EXPECT_EQ(rt->toInt32(get(info, "swfVersion")), 10);
    EXPECT_EQ(rt->toString(get(info, "url")), folder.filePath(QStringLiteral("main.swf")));
    const Value stage = get(root, "stage");
    EXPECT_NE(get(stage, "loaderInfo").obj(), info.obj()) << "the Stage's LoaderInfo is its own";
}

TEST_F(Avm2Loading, BytesInHandAreMeasuredInsideTheCall) {
    const Value loader = make("flash.display.Loader");
    listenToAll(get(loader, "contentLoaderInfo"));
    call(loader, "loadBytes", {byteArrayOf("no movie, no picture")});
    EXPECT_EQ(heard, (QStringList{"progress", "progress", "ioError 2124"}));
    heard.clear();
    call(loader, "loadBytes", {byteArrayOf(emptyMovie())});
    EXPECT_EQ(heard, (QStringList{"progress", "progress"})) << "a movie is shown once the frame's scripts ran";
    player.stepFrame();
    EXPECT_EQ(heard, (QStringList{"progress", "progress", "init", "complete"}));
}

TEST_F(Avm2Loading, UrlVariablesDecodeAndEncode) {
    const Value vars = make("flash.net.URLVariables", {Value::string(QStringLiteral("b=two+words&a=%E2%88%80"))});
    EXPECT_EQ(rt->toString(get(vars, "a")), QStringLiteral("\u2200"));
    EXPECT_EQ(rt->toString(get(vars, "b")), QStringLiteral("two words"));
    EXPECT_EQ(rt->toString(call(vars, "toString")), QStringLiteral("a=%E2%88%80&b=two%20words"));
    EXPECT_EQ(errorIdOf([&] { call(vars, "decode", {Value::string(QStringLiteral("no pairs here"))}); }), 2101);
}
