// ExternalInterface without a hosting page: the value encoders movies call.
#include "movie/avm1/ArrayObject.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

struct EiFixture : ScriptFixture {
    EiFixture() : ScriptFixture(8)
    {
        Value flash = vm->global->get("flash");
        ei = vm->getMember(vm->getMember(flash, "external"), "ExternalInterface");
    }
    Value call(const char* name, std::vector<Value> args) { return vm->callMethod(ei, name, args); }
    QString text(const char* name, std::vector<Value> args) { return vm->toString(call(name, std::move(args))); }
    Value ei;
};

} // namespace

TEST(Avm1ExternalInterface, NoPageMeansNotAvailableAndNullAnswers)
{
    EiFixture f;
    ASSERT_TRUE(f.ei.isObject());
    EXPECT_FALSE(f.vm->toBoolean(f.vm->getMember(f.ei, "available")));
    EXPECT_TRUE(f.call("call", {Value("alert"), Value("x")}).isNull());
    EXPECT_FALSE(f.vm->toBoolean(f.call("addCallback", {Value("f"), Value::null(), Value()})));
}

TEST(Avm1ExternalInterface, EscapingKnowsOnlyTheFiveNamesAndEmptyIsNull)
{
    EiFixture f;
    EXPECT_TRUE(f.call("_escapeXML", {}).isNull());
    EXPECT_TRUE(f.call("_escapeXML", {Value("")}).isNull());
    EXPECT_EQ(f.text("_escapeXML", {Value()}), "undefined");
    EXPECT_EQ(f.text("_escapeXML", {Value("<a href='x'>&amp;")}), "&lt;a href=&apos;x&apos;&gt;&amp;amp;");
    EXPECT_EQ(f.text("_unescapeXML", {Value("&amp;gt; &LT; &#x20; &quot;")}), "&gt; &LT; &#x20; \"");
}

TEST(Avm1ExternalInterface, ValuesEncodeByTypeArraysByIndexObjectsByName)
{
    EiFixture f;
    Interpreter& vm = *f.vm;
    EXPECT_EQ(f.text("_toXML", {Value(4.5)}), "<number>4.5</number>");
    EXPECT_EQ(f.text("_toXML", {Value("a&b")}), "<string>a&amp;b</string>");
    EXPECT_EQ(f.text("_toXML", {Value(static_cast<Object*>(vm.newFunction(nullptr)))}), "<null/>");
    Object* o = vm.newObject();
    o->set("k", Value(true));
    Value arr = Value(static_cast<Object*>(vm.newArray({Value(), Value(o)})));
    EXPECT_EQ(f.text("_toXML", {arr}),
              "<array><property id=\"0\"><undefined/></property><property id=\"1\"><object><property id=\"k\"><true/>"
              "</property></object></property></array>");
    EXPECT_EQ(f.text("_argumentsToXML", {Value(static_cast<Object*>(vm.newArray({Value("fn"), Value(1.0)})))}),
              "<arguments><number>1</number></arguments>");
    EXPECT_EQ(f.text("_objectToXML", {Value("text")}), "<object></object>");
}

TEST(Avm1ExternalInterface, SelfReferenceStopsAtTheRecursionLimit)
{
    EiFixture f;
    Interpreter& vm = *f.vm;
    Object* o = vm.newObject();
    o->set("self", Value(o));
    EXPECT_THROW(f.call("_toXML", {Value(o)}), ScriptAbort);
}
