// A flash.utils.Proxy subclass: names its class does not declare reach its
// flash_proxy methods (getProperty, callProperty...), for-in walks
// nextNameIndex/nextName/nextValue, and what a subclass leaves out raises the
// base class's IllegalOperationError.
#include "movie/avm2/ClassObject.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/Avm2RuntimeTest.h"

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm2;
using nimbrel::movie::test::AbcBodySpec;
using nimbrel::movie::test::AbcBuilder;
using nimbrel::movie::test::AbcCode;

namespace {

const QString kProxyUri = QStringLiteral("http://www.adobe.com/2006/actionscript/flash/proxy");

// The subclass's overrides: each logs its call through trace.
Value getProperty(Runtime& rt, const Value&, Args a) {
    rt.host.trace(QStringLiteral("getProperty ") + rt.toString(a[0]));
    return Value::string(QStringLiteral("value of ") + rt.toString(a[0]));
}
Value callProperty(Runtime& rt, const Value&, Args a) {
    QStringList args;
    for (int i = 1; i < a.count; ++i) args.append(rt.toString(a[i]));
    rt.host.trace(QStringLiteral("callProperty %1(%2)").arg(rt.toString(a[0]), args.join(QLatin1Char(','))));
    return Value::integer(a.count - 1);
}
Value nextNameIndex(Runtime&, const Value&, Args a) { return Value::integer(a[0].i < 3 ? a[0].i + 1 : 0); }
Value nextName(Runtime&, const Value&, Args a) { return Value::string(QStringLiteral("key%1").arg(a[0].i)); }
Value nextValue(Runtime&, const Value&, Args a) { return Value::integer(a[0].i * 10); }

struct ProxyRound : test::Avm2RuntimeTest {
    Value proxy;

    void SetUp() override {
        auto cls = rt.defineNativeClass(QString(), QStringLiteral("LoggingProxy"), rt.builtin(QStringLiteral("flash.utils.Proxy")), {});
        const std::pair<const char*, NativeFn> overrides[] = {{"getProperty", getProperty},
                                                              {"callProperty", callProperty},
                                                              {"nextNameIndex", nextNameIndex},
                                                              {"nextName", nextName},
                                                              {"nextValue", nextValue}};
        for (const auto& [name, fn] : overrides) {
            Binding b;
            b.ns = Namespace::publicNs(kProxyUri);
            b.name = QString::fromLatin1(name);
            b.kind = Binding::Kind::Method;
            b.method = MethodRef{nullptr, 0, fn, cls.get(), 1};
            cls->instanceTraits->put(std::move(b));
        }
        proxy = rt.constructClass(*cls, {});
        rt.defineGlobalValue(QString(), QStringLiteral("p"), proxy);
    }

    // for (k in p) trace(k), or for each (v in p) trace(v), as the compiler writes them.
    QStringList enumerate(Op step) {
        AbcBuilder abc;
        const uint32_t trace = abc.qname(QString(), QStringLiteral("trace"));
        const uint32_t p = abc.qname(QString(), QStringLiteral("p"));
        const uint32_t init = abc.method();
        AbcCode c;
        c.op(Op::GetLocal0).op(Op::PushScope).op(Op::PushByte).u8(0).op(Op::SetLocal2);
        AbcCode loopBody;
        loopBody.op(Op::Label).op(Op::FindPropStrict).u30(trace).op(Op::GetLocal1).op(Op::GetLocal2).op(step);
        loopBody.op(Op::CallPropVoid).u30(trace).u30(1);
        c.op(Op::GetLex).u30(p).op(Op::SetLocal1).op(Op::Jump).s24(int32_t(loopBody.data().size()));
        const int loop = int(c.data().size());
        c.bytes(loopBody.data());
        c.op(Op::HasNext2).u30(1).u30(2).op(Op::IfTrue);
        c.s24(loop - int(c.data().size() + 3));
        c.op(Op::ReturnVoid);
        abc.script(ScriptInfo{init, {}});
        AbcBodySpec body;
        body.method = init;
        body.maxStack = 4;
        body.localCount = 3;
        body.maxScopeDepth = 2;
        body.code = c.data();
        abc.body(body);
        host.lines.clear();
        rt.loadAndRun(abc.build());
        return host.lines;
    }
};

} // namespace

TEST_F(ProxyRound, UndeclaredNamesGoToTheFlashProxyMethods) {
    EXPECT_EQ(rt.toString(PropertyAccess::get(rt, proxy, Name::publicName(QStringLiteral("colour")))),
              QStringLiteral("value of colour"));
    const Value args[] = {Value::integer(1), Value::string(QStringLiteral("two"))};
    EXPECT_EQ(PropertyAccess::call(rt, proxy, Name::publicName(QStringLiteral("paint")), Args{args, 2}).i, 2);
    EXPECT_EQ(host.lines, (QStringList{QStringLiteral("getProperty colour"), QStringLiteral("callProperty paint(1,two)")}));
}

TEST_F(ProxyRound, WhatTheSubclassLeavesOutRaisesTheBaseClassError) {
    const struct {
        const char* what;
        std::function<void()> run;
        int errorId;
    } cases[] = {
        {"set", [&] { PropertyAccess::set(rt, proxy, Name::publicName(QStringLiteral("x")), Value::integer(1)); }, 2089},
        {"in", [&] { PropertyAccess::has(rt, proxy, Name::publicName(QStringLiteral("x"))); }, 2091},
        {"delete", [&] { PropertyAccess::remove(rt, proxy, Name::publicName(QStringLiteral("x"))); }, 2092},
    };
    for (const auto& c : cases) EXPECT_EQ(errorId(c.run), c.errorId) << c.what;
}

TEST_F(ProxyRound, ForInWalksTheProxysEnumeration) {
    EXPECT_EQ(enumerate(Op::NextName), (QStringList{QStringLiteral("key1"), QStringLiteral("key2"), QStringLiteral("key3")}));
    EXPECT_EQ(enumerate(Op::NextValue), (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}));
}
