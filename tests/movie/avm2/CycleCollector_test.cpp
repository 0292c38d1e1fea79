// The cycle collector: objects only cycles hold are freed, whatever is held
// from outside keeps all it reaches intact, weak dictionary keys let go, and
// a faulty reference report frees nothing.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/DictionaryObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/ReferenceVisitor.h"
#include "movie/support/Avm2RuntimeTest.h"

namespace nimbrel::movie::test {
namespace {

using avm2::ObjectPtr;
using avm2::ScriptObject;
using avm2::Value;

struct CycleCollectorTest : Avm2RuntimeTest {
    static ObjectPtr plain() { return std::make_shared<ScriptObject>(); }
    static void link(const ObjectPtr& from, const char* name, const ObjectPtr& to) {
        from->setOwn(QString::fromLatin1(name), Value::object(to));
    }
    static ScriptObject* follow(ScriptObject* from, const char* name) {
        const Value* v = from ? from->findOwn(QString::fromLatin1(name)) : nullptr;
        return v ? v->obj() : nullptr;
    }
    // A function closing over a scope that holds `captured`.
    std::shared_ptr<avm2::FunctionObject> closureOver(const ObjectPtr& captured) {
        auto chain = std::make_shared<avm2::ScopeChain>(avm2::ScopeChain{{Value::object(captured), false}});
        return rt.makeFunction(avm2::MethodRef{}, chain);
    }
};

// Each shape of cycle is built, then either let go or kept by one outside
// holder; the outside holder must keep every member with its links.
TEST_F(CycleCollectorTest, FreesUnheldCyclesAndKeepsHeldOnesWhole) {
    struct Shape {
        const char* what;
        std::function<ObjectPtr(CycleCollectorTest&)> build; // returns the cycle's entry object
    };
    const Shape shapes[] = {
        {"self link", [](CycleCollectorTest&) { auto a = plain(); link(a, "self", a); return a; }},
        {"two objects", [](CycleCollectorTest&) { auto a = plain(), b = plain(); link(a, "b", b); link(b, "a", a); return a; }},
        {"prototype and back", [](CycleCollectorTest&) { auto a = plain(), p = plain(); a->proto = p; link(p, "child", a); return a; }},
        {"array element", [](CycleCollectorTest&) {
             auto arr = std::make_shared<avm2::ArrayObject>();
             auto a = plain();
             arr->items.push_back(Value::object(a));
             arr->holes.push_back(false);
             link(a, "list", arr);
             return a;
         }},
        {"closure over its owner", [](CycleCollectorTest& t) {
             auto a = plain();
             link(a, "f", t.closureOver(a));
             return a;
         }},
        {"bound method", [](CycleCollectorTest& t) {
             auto a = plain();
             link(a, "m", t.rt.bindMethod(avm2::MethodRef{}, Value::object(a), nullptr));
             return a;
         }},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        rt.collectCycles(); // what the last round held is let go now
        const std::size_t before = rt.objectCount();
        std::weak_ptr<ScriptObject> gone;
        {
            ObjectPtr entry = shape.build(*this);
            gone = entry;
        }
        ASSERT_FALSE(gone.expired()) << "a cycle reference counting alone frees is no test";
        const auto freed = rt.collectCycles();
        EXPECT_FALSE(freed.inconsistent);
        EXPECT_TRUE(gone.expired());
        EXPECT_EQ(rt.objectCount(), before);

        ObjectPtr held = shape.build(*this);
        const std::size_t withHeld = rt.objectCount();
        const int links = held->ownEnumCount();
        const ScriptObject* proto = held->proto.get();
        rt.collectCycles();
        EXPECT_EQ(rt.objectCount(), withHeld);
        EXPECT_EQ(held->ownEnumCount(), links);
        EXPECT_EQ(held->proto.get(), proto);
    }
}

TEST_F(CycleCollectorTest, AHeldObjectKeepsTheWholeChainBehindIt) {
    ObjectPtr root = plain();
    {
        auto a = plain(), b = plain(), c = plain();
        link(root, "a", a);
        link(a, "b", b);
        link(b, "c", c);
        link(c, "a", a);
        link(b, "f", closureOver(c));
    }
    rt.collectCycles();
    ScriptObject* a = follow(root.get(), "a");
    ScriptObject* b = follow(a, "b");
    ScriptObject* c = follow(b, "c");
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(follow(c, "a"), a);
    auto* f = dynamic_cast<avm2::FunctionObject*>(follow(b, "f"));
    ASSERT_TRUE(f && f->scope && !f->scope->empty());
    EXPECT_EQ(f->scope->front().value.obj(), c);
}

TEST_F(CycleCollectorTest, WeakKeysLetGoOfWhatNothingElseReaches) {
    for (const bool weak : {true, false}) {
        SCOPED_TRACE(weak ? "weak keys" : "strong keys");
        auto dict = std::make_shared<avm2::DictionaryObject>();
        dict->weakKeys = weak;
        ObjectPtr kept = plain();
        std::weak_ptr<ScriptObject> loose;
        {
            ObjectPtr key = plain();
            loose = key;
            dict->put(Value::object(key), Value::string(QStringLiteral("loose")));
        }
        dict->put(Value::object(kept), Value::string(QStringLiteral("kept")));
        rt.collectCycles();
        EXPECT_EQ(loose.expired(), weak);
        ASSERT_NE(dict->find(kept.get()), nullptr);
        EXPECT_EQ(dict->find(kept.get())->s, QStringLiteral("kept"));
    }
}

// An object that reports one of its references twice would make its target
// look unreachable: the collector must notice and free nothing.
class OverReporting : public ScriptObject {
public:
    ObjectPtr child;
    void visitReferences(avm2::ReferenceVisitor& visit) const override {
        ScriptObject::visitReferences(visit);
        visit.object(child);
        visit.object(child);
    }
};

TEST_F(CycleCollectorTest, AFaultyReportFreesNothing) {
    auto faulty = std::make_shared<OverReporting>();
    faulty->child = plain();
    std::weak_ptr<ScriptObject> cycle;
    {
        auto a = plain();
        link(a, "self", a);
        cycle = a;
    }
    const auto result = rt.collectCycles();
    EXPECT_TRUE(result.inconsistent);
    EXPECT_EQ(result.freed, 0u);
    EXPECT_FALSE(cycle.expired());
    faulty->child.reset();
    EXPECT_FALSE(rt.collectCycles().inconsistent);
    EXPECT_TRUE(cycle.expired());
}

// A script making a cycle every round for as long as a long session would:
// the occasional collection keeps the heap bounded.
TEST_F(CycleCollectorTest, OccasionalCollectionKeepsALongRunBounded) {
    const std::size_t base = rt.objectCount();
    std::size_t highest = 0;
    for (int round = 0; round < 200000; ++round) {
        auto a = plain(), b = plain();
        link(a, "b", b);
        link(b, "a", a);
        rt.maybeCollectCycles();
        highest = std::max(highest, rt.objectCount());
    }
    // Without collections it would reach 400,000 more than it started with.
    EXPECT_LT(highest, 2 * base + 20010);
}

} // namespace
} // namespace nimbrel::movie::test
