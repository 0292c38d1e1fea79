// JSON: what parse accepts and refuses, and what stringify writes with
// replacers, property lists and indentation.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <functional>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2Json : nimbrel::movie::test::Avm2RuntimeTest {

    Value json(const char* method, std::vector<Value> args) {
        Value cls = Value::object(rt.builtin(QStringLiteral("JSON"))->shared_from_this());
        return PropertyAccess::call(rt, cls, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    static Value str(const char* s) { return Value::string(QString::fromUtf8(s)); }
    // parse then stringify: the text a script would see back.
    QString roundTrip(const char* text, std::vector<Value> more = {}) {
        std::vector<Value> args{json("parse", {str(text)})};
        args.insert(args.end(), more.begin(), more.end());
        return rt.toString(json("stringify", args));
    }
};
} // namespace

TEST_F(Avm2Json, ParseAndWriteBack) {
    const std::pair<const char*, const char*> cases[] = {
        {R"( {"a" : [1, -2.5e1, true, null], "b": "x\u0041\n"} )", R"({"a":[1,-25,true,null],"b":"xA\n"})"},
        {"[]", "[]"},
        {"{}", "{}"},
        {R"("\u0001")", R"("\u0001")"},
        {"0", "0"},
    };
    for (const auto& [text, written] : cases) EXPECT_EQ(roundTrip(text), QString::fromUtf8(written)) << text;

    const char* refused[] = {"", "[1,]", "{'a':1}", "01", "1.", "[1] x", "\"tab\there\"", "{\"a\" 1}", "tru", "\"\\x\""};
    for (const char* text : refused) EXPECT_EQ(errorId([&] { json("parse", {str(text)}); }), 1132) << text;
    // Nesting beyond what the parser follows is refused, not a crash.
    EXPECT_EQ(errorId([&] { json("parse", {Value::string(QString(5000, QLatin1Char('[')))}); }), 1132);
}

TEST_F(Avm2Json, StringifyOptions) {
    const char* doc = R"({"b":1,"a":{"c":[1,2]}})";
    EXPECT_EQ(roundTrip(doc, {Value::null(), Value::integer(2)}),
              QStringLiteral("{\n  \"b\": 1,\n  \"a\": {\n    \"c\": [\n      1,\n      2\n    ]\n  }\n}"));
    EXPECT_EQ(roundTrip(doc, {Value::null(), str("--")}), QStringLiteral("{\n--\"b\": 1,\n--\"a\": {\n----\"c\": [\n------1,\n------2\n----]\n--}\n}"));
    // A property list keeps only the names given, in its order.
    Value names = Value::object(rt.newArray({str("a"), str("b")}));
    EXPECT_EQ(roundTrip(R"({"b":1,"a":2,"z":3})", {names}), QStringLiteral(R"({"a":2,"b":1})"));
    // Numbers that are not finite have no JSON form.
    EXPECT_EQ(rt.toString(json("stringify", {Value::object(rt.newArray({Value::number(1.0 / 0.0)}))})), QStringLiteral("[null]"));
    EXPECT_TRUE(json("stringify", {Value()}).isUndefined());
    // A replacer that is neither a list nor a function is refused; so is a cycle.
    EXPECT_EQ(errorId([&] { json("stringify", {Value::integer(1), Value::integer(3)}); }), 1131);
    ObjectPtr loop = rt.newObject();
    loop->setOwn(QStringLiteral("self"), Value::object(loop));
    EXPECT_EQ(errorId([&] { json("stringify", {Value::object(loop)}); }), 1129);
}
