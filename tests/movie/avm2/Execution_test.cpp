// The interpreter over built bytecode: handlers (catch, nested, finally, the
// runtime's own errors), class and instance initialisation order, closures
// over activations, bad methods throwing catchable VerifyErrors, and the
// script time budget.
#include "movie/avm2/AbcParser.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/Avm2TraceHost.h"
#include <functional>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm2;
using nimbrel::movie::test::AbcBodySpec;
using nimbrel::movie::test::AbcBuilder;
using nimbrel::movie::test::AbcCode;

namespace {

// A block under construction with the names most tests use.
struct Block {
    AbcBuilder abc;
    uint32_t trace = abc.qname(QString(), QStringLiteral("trace"));
    uint32_t x = abc.qname(QString(), QStringLiteral("x"));

    uint32_t str(const char* s) { return abc.string(QString::fromLatin1(s)); }
    // trace("text")
    void traceText(AbcCode& c, const char* text) {
        c.op(Op::FindPropStrict).u30(trace).op(Op::PushString).u30(str(text)).op(Op::CallPropVoid).u30(trace).u30(1);
    }
    // trace(prefix + local)
    void traceLocal(AbcCode& c, const char* prefix, uint32_t local) {
        c.op(Op::FindPropStrict).u30(trace).op(Op::PushString).u30(str(prefix)).op(Op::GetLocal).u30(local).op(Op::Add);
        c.op(Op::CallPropVoid).u30(trace).u30(1);
    }
    uint32_t method(uint8_t flags = 0, std::vector<uint32_t> params = {}) {
        MethodInfo m;
        m.flags = flags;
        m.paramTypes = std::move(params);
        return abc.method(m);
    }
    void body(uint32_t method, const AbcCode& code, std::vector<ExceptionInfo> handlers = {}, uint32_t locals = 3,
              std::vector<TraitInfo> traits = {}) {
        AbcBodySpec b;
        b.method = method;
        b.maxStack = 6;
        b.localCount = locals;
        b.maxScopeDepth = 3;
        b.code = code.data();
        b.exceptions = std::move(handlers);
        b.traits = std::move(traits);
        abc.body(b);
    }
};

uint32_t here(const AbcCode& c) { return uint32_t(c.data().size()); }

struct RunOutcome {
    QStringList lines;
    QString uncaught;
    QString aborted;
};

RunOutcome run(const QByteArray& block, int64_t timeoutMs = 5000) {
    test::Avm2TraceHost host(timeoutMs);
    Runtime rt(host);
    RunOutcome out;
    rt.startBudget();
    try {
        rt.loadAndRun(block);
    } catch (const ScriptThrow& t) {
        out.uncaught = rt.toString(t.value);
    } catch (const ScriptAbort& a) {
        out.aborted = a.reason;
    }
    out.lines = host.lines;
    return out;
}

// A script whose initialiser is `code`, built by `fill` after the fixed prologue.
QByteArray script(const std::function<void(Block&, AbcCode&, std::vector<ExceptionInfo>&)>& fill) {
    Block b;
    const uint32_t init = b.method();
    AbcCode c;
    c.op(Op::GetLocal0).op(Op::PushScope);
    std::vector<ExceptionInfo> handlers;
    fill(b, c, handlers);
    b.abc.script(ScriptInfo{init, {}});
    b.body(init, c, handlers);
    return b.abc.build();
}

struct ScriptCase {
    const char* what;
    std::function<void(Block&, AbcCode&, std::vector<ExceptionInfo>&)> fill;
    QStringList lines;
    QString uncaught = QString();
};

} // namespace

TEST(Avm2Execution, HandlersCatchWhatIsThrownInTheirRange) {
    const ScriptCase cases[] = {
        {"a thrown value reaches the handler",
         [](Block& b, AbcCode& c, std::vector<ExceptionInfo>& h) {
             const uint32_t from = here(c);
             c.op(Op::PushString).u30(b.str("boom")).op(Op::Throw);
             const uint32_t target = here(c);
             c.op(Op::SetLocal1);
             b.traceLocal(c, "caught ", 1);
             c.op(Op::ReturnVoid);
             h.push_back({from, target, target, 0, 0});
         },
         {QStringLiteral("caught boom")}},
        {"an inner handler of another type lets it through to the outer one",
         [](Block& b, AbcCode& c, std::vector<ExceptionInfo>& h) {
             const uint32_t typeError = b.abc.qname(QString(), QStringLiteral("TypeError"));
             const uint32_t from = here(c);
             c.op(Op::PushString).u30(b.str("plain")).op(Op::Throw);
             const uint32_t inner = here(c);
             c.op(Op::Pop);
             b.traceText(c, "inner");
             c.op(Op::ReturnVoid);
             const uint32_t outer = here(c);
             c.op(Op::SetLocal1);
             b.traceLocal(c, "outer ", 1);
             c.op(Op::ReturnVoid);
             h.push_back({from, inner, inner, typeError, 0});
             h.push_back({from, inner, outer, 0, 0});
         },
         {QStringLiteral("outer plain")}},
        {"finally runs, then the error goes on to the enclosing handler",
         [](Block& b, AbcCode& c, std::vector<ExceptionInfo>& h) {
             const uint32_t from = here(c);
             c.op(Op::PushString).u30(b.str("boom")).op(Op::Throw);
             const uint32_t finallyAt = here(c);
             c.op(Op::SetLocal2);
             b.traceText(c, "finally");
             c.op(Op::GetLocal2).op(Op::Throw);
             const uint32_t outer = here(c);
             c.op(Op::SetLocal1);
             b.traceLocal(c, "outer ", 1);
             c.op(Op::ReturnVoid);
             h.push_back({from, finallyAt, finallyAt, 0, 0});
             h.push_back({from, outer, outer, 0, 0});
         },
         {QStringLiteral("finally"), QStringLiteral("outer boom")}},
        {"the runtime's own errors are typed and carry id and message",
         [](Block& b, AbcCode& c, std::vector<ExceptionInfo>& h) {
             const uint32_t typeError = b.abc.qname(QString(), QStringLiteral("TypeError"));
             const uint32_t errorId = b.abc.qname(QString(), QStringLiteral("errorID"));
             const uint32_t from = here(c);
             c.op(Op::PushNull).op(Op::CallPropVoid).u30(b.x).u30(0).op(Op::ReturnVoid);
             const uint32_t target = here(c);
             c.op(Op::SetLocal1).op(Op::GetLocal1).op(Op::GetProperty).u30(errorId).op(Op::SetLocal2);
             b.traceLocal(c, "id ", 2);
             b.traceLocal(c, "", 1);
             c.op(Op::ReturnVoid);
             h.push_back({from, target, target, typeError, 0});
         },
         {QStringLiteral("id 1009"), QStringLiteral("TypeError: Error #1009: Cannot access a property or method of a null object reference.")}},
        {"nothing catches it: the caller gets the error",
         [](Block& b, AbcCode& c, std::vector<ExceptionInfo>&) {
             b.traceText(c, "before");
             c.op(Op::PushUndefined).op(Op::GetProperty).u30(b.x).op(Op::ReturnVoid);
         },
         {QStringLiteral("before")},
         QStringLiteral("TypeError: Error #1010: A term is undefined and has no properties.")},
    };
    for (const ScriptCase& sc : cases) {
        const RunOutcome out = run(script(sc.fill));
        EXPECT_EQ(out.lines, sc.lines) << sc.what;
        EXPECT_EQ(out.uncaught, sc.uncaught) << sc.what;
    }
}

TEST(Avm2Execution, ClassesInitialiseStaticsFirstThenSlotsThenConstructorsDownToTheBase) {
    Block b;
    const uint32_t init = b.method(), aStatic = b.method(), aCtor = b.method(), bStatic = b.method(), bCtor = b.method();
    const uint32_t object = b.abc.qname(QString(), QStringLiteral("Object"));
    const uint32_t nameA = b.abc.qname(QString(), QStringLiteral("A")), nameB = b.abc.qname(QString(), QStringLiteral("B"));
    const uint32_t intType = b.abc.qname(QString(), QStringLiteral("int"));

    TraitInfo slotX;
    slotX.name = b.x;
    slotX.kind = TraitKind::Slot;
    slotX.typeName = intType;
    slotX.value = ConstantValue{uint8_t(ConstantKind::Int), b.abc.intConst(5)};
    InstanceInfo a{nameA, object, instanceflags::Sealed, 0, {}, aCtor, {}};
    InstanceInfo derived{nameB, nameA, instanceflags::Sealed, 0, {}, bCtor, {slotX}};
    b.abc.addClass(a, ClassInfo{aStatic, {}});
    b.abc.addClass(derived, ClassInfo{bStatic, {}});

    AbcCode s;
    s.op(Op::GetLocal0).op(Op::PushScope).op(Op::GetLex).u30(object).op(Op::NewClass).u30(0).op(Op::NewClass).u30(1);
    b.traceText(s, "classes made");
    s.op(Op::Construct).u30(0).op(Op::Pop).op(Op::ReturnVoid);
    b.body(init, s);
    AbcCode as, bs;
    b.traceText(as, "A static");
    b.traceText(bs, "B static");
    b.body(aStatic, as.op(Op::ReturnVoid));
    b.body(bStatic, bs.op(Op::ReturnVoid));
    AbcCode ac;
    ac.op(Op::GetLocal0).op(Op::PushScope);
    b.traceText(ac, "A constructor");
    b.body(aCtor, ac.op(Op::GetLocal0).op(Op::ConstructSuper).u30(0).op(Op::ReturnVoid));
    AbcCode bc;
    bc.op(Op::GetLocal0).op(Op::PushScope).op(Op::GetLocal0).op(Op::GetProperty).u30(b.x).op(Op::SetLocal1);
    b.traceLocal(bc, "B constructor, x = ", 1);
    bc.op(Op::GetLocal0).op(Op::ConstructSuper).u30(0);
    b.traceText(bc, "B constructor after super");
    b.body(bCtor, bc.op(Op::ReturnVoid));
    b.abc.script(ScriptInfo{init, {}});

    const RunOutcome out = run(b.abc.build());
    EXPECT_EQ(out.uncaught, QString());
    EXPECT_EQ(out.lines, (QStringList{QStringLiteral("A static"), QStringLiteral("B static"), QStringLiteral("classes made"),
                                      QStringLiteral("B constructor, x = 5"), QStringLiteral("A constructor"),
                                      QStringLiteral("B constructor after super")}));
}

TEST(Avm2Execution, ClosuresKeepTheActivationOfTheCallThatMadeThem) {
    Block b;
    const uint32_t init = b.method(), maker = b.method(methodflags::NeedActivation), counter = b.method();
    const uint32_t count = b.abc.qname(QString(), QStringLiteral("count"));
    TraitInfo countSlot;
    countSlot.name = count;
    countSlot.kind = TraitKind::Slot;
    countSlot.id = 1;

    AbcCode m;
    m.op(Op::GetLocal0).op(Op::PushScope).op(Op::NewActivation).op(Op::Dup).op(Op::SetLocal1).op(Op::PushScope);
    m.op(Op::GetScopeObject).u8(1).op(Op::PushByte).u8(10).op(Op::SetSlot).u30(1);
    m.op(Op::NewFunction).u30(counter).op(Op::ReturnValue);
    b.body(maker, m, {}, 2, {countSlot});
    AbcCode k; // count = count + 1; return count
    k.op(Op::GetLocal0).op(Op::PushScope).op(Op::GetLex).u30(count).op(Op::Increment).op(Op::SetLocal1);
    k.op(Op::FindProperty).u30(count).op(Op::GetLocal1).op(Op::SetProperty).u30(count).op(Op::GetLocal1).op(Op::ReturnValue);
    b.body(counter, k, {}, 2);
    AbcCode s;
    s.op(Op::GetLocal0).op(Op::PushScope);
    for (int made = 0; made < 2; ++made) {
        s.op(Op::NewFunction).u30(maker).op(Op::GetGlobalScope).op(Op::Call).u30(0).op(Op::SetLocal1);
        for (int i = 0; i < 2 - made; ++i) {
            s.op(Op::FindPropStrict).u30(b.trace).op(Op::GetLocal1).op(Op::GetGlobalScope).op(Op::Call).u30(0);
            s.op(Op::CallPropVoid).u30(b.trace).u30(1);
        }
    }
    b.body(init, s.op(Op::ReturnVoid));
    b.abc.script(ScriptInfo{init, {}});

    const RunOutcome out = run(b.abc.build());
    EXPECT_EQ(out.uncaught, QString());
    // Each call of the maker has its own count.
    EXPECT_EQ(out.lines, (QStringList{QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("11")}));
}

TEST(Avm2Execution, ABadMethodThrowsACatchableVerifyErrorWhenFirstCalled) {
    struct Bad {
        const char* what;
        AbcCode code;
        const char* message;
    };
    const Bad bads[] = {
        {"stack underflow", AbcCode().op(Op::Pop).op(Op::ReturnVoid), "VerifyError: Error #1024: Stack underflow occurred."},
        {"branch out of range", AbcCode().op(Op::Jump).s24(100).op(Op::ReturnVoid),
         "VerifyError: Error #1021: At least one branch target was not on a valid instruction in the method."},
        {"bad register", AbcCode().op(Op::GetLocal).u30(9).op(Op::ReturnValue), "VerifyError: Error #1025: An invalid register 9 was accessed."},
        {"falls off the end", AbcCode().op(Op::Nop), "VerifyError: Error #1020: Code cannot fall off the end of a method."},
    };
    for (const Bad& bad : bads) {
        Block b;
        const uint32_t init = b.method(), broken = b.method();
        AbcCode s;
        s.op(Op::GetLocal0).op(Op::PushScope);
        b.traceText(s, "calling");
        const uint32_t from = here(s);
        s.op(Op::NewFunction).u30(broken).op(Op::GetGlobalScope).op(Op::Call).u30(0).op(Op::Pop);
        b.traceText(s, "not reached");
        s.op(Op::ReturnVoid);
        const uint32_t target = here(s);
        s.op(Op::SetLocal1);
        b.traceLocal(s, "", 1);
        s.op(Op::ReturnVoid);
        b.body(init, s, {{from, target, target, b.abc.qname(QString(), QStringLiteral("VerifyError")), 0}});
        b.body(broken, bad.code);
        b.abc.script(ScriptInfo{init, {}});
        const RunOutcome out = run(b.abc.build());
        EXPECT_EQ(out.lines, (QStringList{QStringLiteral("calling"), QString::fromLatin1(bad.message)})) << bad.what;
        EXPECT_EQ(out.uncaught, QString()) << bad.what;
    }
}

TEST(Avm2Execution, AScriptThatRunsTooLongIsStoppedAndNoHandlerSeesIt) {
    const QByteArray block = script([](Block& b, AbcCode& c, std::vector<ExceptionInfo>& h) {
        const uint32_t from = here(c);
        c.op(Op::Label).op(Op::Jump).s24(-5);
        const uint32_t target = here(c);
        c.op(Op::Pop);
        b.traceText(c, "caught");
        c.op(Op::ReturnVoid);
        h.push_back({from, target, target, 0, 0});
    });
    const RunOutcome out = run(block, 50);
    EXPECT_TRUE(out.lines.isEmpty());
    EXPECT_TRUE(out.aborted.contains(QStringLiteral("#1502"))) << out.aborted.toStdString();
}

TEST(Avm2Execution, TypedSlotsConvertWhatIsStoredAndApplyTypeMakesVectors) {
    Block b;
    const uint32_t init = b.method();
    const uint32_t vector = b.abc.qname(QStringLiteral("__AS3__.vec"), QStringLiteral("Vector"));
    const uint32_t intType = b.abc.qname(QString(), QStringLiteral("int"));
    MultinameInfo vectorOfInt;
    vectorOfInt.kind = MultinameKind::TypeName;
    vectorOfInt.base = vector;
    vectorOfInt.typeParams = {intType};
    const uint32_t vectorType = b.abc.multiname(vectorOfInt);
    auto slot = [&](const char* name, uint32_t id, uint32_t type) {
        TraitInfo t;
        t.name = b.abc.qname(QString(), QString::fromLatin1(name));
        t.id = id;
        t.typeName = type;
        return t;
    };
    const uint32_t push = b.abc.qname(QString(), QStringLiteral("push"));
    AbcCode c;
    c.op(Op::GetLocal0).op(Op::PushScope);
    // n:Number = null reads back as 0.
    c.op(Op::GetGlobalScope).op(Op::PushNull).op(Op::SetSlot).u30(1);
    c.op(Op::GetGlobalScope).op(Op::GetSlot).u30(1).op(Op::SetLocal1);
    b.traceLocal(c, "n ", 1);
    // v:Vector.<int> = new Vector.<int>(); v.push(2.7)
    c.op(Op::GetLex).u30(vector).op(Op::GetLex).u30(intType).op(Op::ApplyType).u30(1).op(Op::Construct).u30(0).op(Op::SetLocal2);
    c.op(Op::GetLocal2).op(Op::PushDouble).u30(b.abc.doubleConst(2.7)).op(Op::CallPropVoid).u30(push).u30(1);
    c.op(Op::GetGlobalScope).op(Op::GetLocal2).op(Op::SetSlot).u30(2);
    b.traceLocal(c, "v ", 2);
    // list:Array = v is refused.
    c.op(Op::GetGlobalScope).op(Op::GetLocal2).op(Op::SetSlot).u30(3).op(Op::ReturnVoid);
    b.body(init, c);
    b.abc.script(ScriptInfo{init, {slot("n", 1, b.abc.qname(QString(), QStringLiteral("Number"))), slot("v", 2, vectorType),
                                   slot("list", 3, b.abc.qname(QString(), QStringLiteral("Array")))}});

    const RunOutcome out = run(b.abc.build());
    EXPECT_EQ(out.lines, (QStringList{QStringLiteral("n 0"), QStringLiteral("v 2")}));
    EXPECT_EQ(out.uncaught, QStringLiteral("TypeError: Error #1034: Type Coercion failed: cannot convert __AS3__.vec::Vector.<int> to Array."));
}

TEST(Avm2Execution, CallMethodReachesTheMethodByItsDispatchId) {
    Block b;
    const uint32_t init = b.method(), echo = b.method(0, {0});
    TraitInfo method;
    method.name = b.abc.qname(QString(), QStringLiteral("echo"));
    method.kind = TraitKind::Method;
    method.id = 2;
    method.index = echo;
    AbcCode c;
    c.op(Op::GetLocal0).op(Op::PushScope);
    c.op(Op::GetLocal0).op(Op::PushByte).u8(7).op(Op::CallMethod).u30(2).u30(1).op(Op::SetLocal1);
    b.traceLocal(c, "echo ", 1);
    // An id with no method is refused, not a crash.
    c.op(Op::GetLocal0).op(Op::CallMethod).u30(9).u30(0).op(Op::ReturnVoid);
    b.body(init, c);
    AbcCode e;
    b.body(echo, e.op(Op::GetLocal1).op(Op::ReturnValue));
    b.abc.script(ScriptInfo{init, {method}});

    const RunOutcome out = run(b.abc.build());
    EXPECT_EQ(out.lines, QStringList{QStringLiteral("echo 7")});
    EXPECT_TRUE(out.uncaught.startsWith(QStringLiteral("VerifyError"))) << qPrintable(out.uncaught);
}
