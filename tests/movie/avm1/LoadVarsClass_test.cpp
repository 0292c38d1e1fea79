// LoadVars and XML loads through a scripted fetcher: encoding, decoding and
// answers that reach scripts only after the asking frame's scripts.
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/UrlVariables.h"
#include "movie/host/Fetcher.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

// Holds every request until the test answers it.
class FakeFetcher : public host::Fetcher {
public:
    struct Pending {
        QUrl url;
        Done done;
    };
    std::vector<Pending> pending;
    void fetch(const QUrl& url, Done done) override { pending.push_back({url, std::move(done)}); }
    void cancelAll() override { pending.clear(); }
    void answer(size_t i, const QByteArray& data, const QString& error = {}) { pending.at(i).done(data, error); }
};

struct LoadFixture : ScriptFixture {
    LoadFixture() : ScriptFixture(8)
    {
        vm->fetcher = &fetcher;
        vm->movieUrl = QStringLiteral("https://example.org/movies/");
        vm->clockMs = [this] { return nowMs; };
    }
    // One frame later: the engine hands over what has arrived.
    bool nextFrame()
    {
        nowMs += 40;
        return LoadQueue::deliverPending(*vm);
    }
    // A handler that traces its argument and `this.loaded`.
    void traceOnLoad(const Value& target)
    {
        Object* fn = vm->newFunction([this](Interpreter& vm, const Value& self, const std::vector<Value>& args) {
            traces.append(QStringLiteral("onLoad %1 %2").arg(vm.toString(args.empty() ? Value() : args[0]), vm.toString(vm.getMember(self, "loaded"))));
            return Value();
        });
        vm->setMember(target, "onLoad", Value(fn));
    }
    FakeFetcher fetcher;
    double nowMs = 0;
};

} // namespace

TEST(UrlVariables, DecodeAndEncode)
{
    auto pairs = UrlVariables::decode(QStringLiteral("a=1&b=two+words%21&junk&=x&c=%E4%BD%A0&d=50%"));
    ASSERT_EQ(pairs.size(), 4);
    EXPECT_EQ(pairs[0], qMakePair(QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_EQ(pairs[1].second, "two words!");
    EXPECT_EQ(pairs[2].second, QString::fromUtf8("\u4f60"));
    EXPECT_EQ(pairs[3].second, "50"); // a lone % is dropped
    EXPECT_EQ(UrlVariables::encode({{"a b", "x&y=z"}, {"n", QString::fromUtf8("\u00e9")}}), "a%20b=x%26y%3Dz&n=%C3%A9");
    // Broken escapes vanish as far as they got.
    EXPECT_EQ(UrlVariables::unescape("One%20+mo%2re"), "One  moe");
    EXPECT_EQ(UrlVariables::unescape("a%zz|%4zz|%u0100|%"), "az|z|0100|");
    for (const QString& s : {QStringLiteral("plain"), QStringLiteral("%&=+ ?"), QString::fromUtf8("\u4f60\u597d")})
        EXPECT_EQ(UrlVariables::unescape(UrlVariables::escape(s)), s);
}

TEST(Avm1LoadVars, ToStringListsVariablesNewestFirstAndDecodeAddsThem)
{
    LoadFixture f;
    Interpreter& vm = *f.vm;
    Value lv = vm.construct(vm.global->get("LoadVars"), {});
    vm.setMember(lv, "a", Value(3.0));
    vm.setMember(lv, "b", Value("x y"));
    EXPECT_EQ(vm.toString(vm.callMethod(lv, "toString", {})), "b=x%20y&a=3");
    vm.callMethod(lv, "decode", {Value("c=1&a=4")});
    EXPECT_EQ(vm.toString(vm.getMember(lv, "a")), "4");
    EXPECT_TRUE(vm.getMember(lv, "c").isString());
}

TEST(Avm1LoadVars, AnswerArrivesOnTheNextFrameNotInsideTheCall)
{
    LoadFixture f;
    Interpreter& vm = *f.vm;
    Value lv = vm.construct(vm.global->get("LoadVars"), {});
    f.traceOnLoad(lv);
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(lv, "load", {Value("data/vars.txt?x=1")})));
    ASSERT_EQ(f.fetcher.pending.size(), 1u);
    EXPECT_EQ(f.fetcher.pending[0].url.toString(), "https://example.org/movies/data/vars.txt?x=1");
    EXPECT_FALSE(vm.toBoolean(vm.getMember(lv, "loaded")));
    EXPECT_EQ(vm.toNumber(vm.callMethod(lv, "getBytesLoaded", {})), 0);
    f.fetcher.answer(0, "\xEF\xBB\xBFk=v&n=2");
    // Arrived, but the scripts of this frame do not see it yet.
    EXPECT_TRUE(vm.getMember(lv, "k").isUndefined());
    EXPECT_TRUE(f.traces.isEmpty());
    EXPECT_TRUE(f.nextFrame());
    EXPECT_EQ(f.traces, QStringList{"onLoad true true"});
    EXPECT_EQ(vm.toString(vm.getMember(lv, "k")), "v");
    EXPECT_EQ(vm.toNumber(vm.callMethod(lv, "getBytesTotal", {})), 10); // bytes as fetched, mark included
    EXPECT_FALSE(f.nextFrame()); // delivered once
}

TEST(Avm1LoadVars, FailedLoadsReportFalseAndUnreachableTargetsStayAlive)
{
    LoadFixture f;
    Interpreter& vm = *f.vm;
    Value lv = vm.construct(vm.global->get("LoadVars"), {});
    f.traceOnLoad(lv);
    vm.callMethod(lv, "load", {Value("missing.txt")});
    lv = Value(); // only the load keeps it now
    vm.collectGarbage();
    f.fetcher.answer(0, {}, "not found");
    EXPECT_TRUE(f.nextFrame());
    EXPECT_EQ(f.traces, QStringList{"onLoad false false"});
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(vm.construct(vm.global->get("LoadVars"), {}), "load", {})));
}

TEST(Avm1LoadVars, AnEmptyAnswerReadsAsNone)
{
    LoadFixture f;
    Interpreter& vm = *f.vm;
    Value lv = vm.construct(vm.global->get("LoadVars"), {});
    f.traceOnLoad(lv);
    vm.callMethod(lv, "load", {Value("empty.txt")});
    f.fetcher.answer(0, QByteArray());
    EXPECT_TRUE(f.nextFrame());
    EXPECT_EQ(f.traces, QStringList{"onLoad false false"});
}

TEST(Avm1LoadVars, ALoadStartedByAHandlerWaitsForTheFollowingFrame)
{
    LoadFixture f;
    Interpreter& vm = *f.vm;
    Value doc = vm.construct(vm.global->get("XML"), {});
    Object* again = vm.newFunction([&f](Interpreter& vm, const Value& self, const std::vector<Value>&) {
        f.traces.append(vm.toString(self));
        vm.callMethod(self, "load", {Value("b.xml")});
        return Value();
    });
    vm.setMember(doc, "onLoad", Value(again));
    vm.callMethod(doc, "load", {Value("a.xml")});
    f.fetcher.answer(0, "<a/>");
    EXPECT_TRUE(f.nextFrame());
    ASSERT_EQ(f.fetcher.pending.size(), 2u);
    f.fetcher.answer(1, "<b>&amp;</b>");
    // Same frame: the second answer waits, however often the engine asks.
    EXPECT_FALSE(LoadQueue::deliverPending(vm));
    EXPECT_EQ(f.traces, QStringList{"<a />"});
    EXPECT_TRUE(f.nextFrame());
    EXPECT_EQ(f.traces, (QStringList{"<a />", "<b>&amp;</b>"}));
}

TEST(Avm1LoadVars, LocalMoviesReadFilesBesideThemWebMoviesMayNot)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    LoadQueue& q = LoadQueue::of(vm);
    vm.movieUrl = QStringLiteral("/data/case");
    EXPECT_EQ(q.resolve("vars.txt?a=1#x"), QUrl::fromLocalFile("/data/case/vars.txt"));
    EXPECT_EQ(q.resolve("http://h/x"), QUrl("http://h/x"));
    vm.movieUrl = QStringLiteral("http://h/m/");
    EXPECT_EQ(q.resolve("v.txt"), QUrl("http://h/m/v.txt"));
    Object* target = vm.newObject();
    // Refused at once; the failure is still told later, like any other.
    EXPECT_FALSE(q.start(target, "file:///etc/hostname", [](Interpreter&, const std::optional<QByteArray>&) {}));
    EXPECT_TRUE(q.isLoading(target));
}
