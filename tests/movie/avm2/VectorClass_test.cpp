// Vector.<T>: elements take the base type, a fixed vector refuses length
// changes, writes and reads past the end raise RangeError, and the Vector.<T>()
// function converts an Array or another vector.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/VectorObject.h"
#include "movie/avm2/builtins/VectorClass.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <functional>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2Vector : nimbrel::movie::test::Avm2RuntimeTest {

    ClassObject* vectorOf(const char* type) {
        return VectorClass::specialise(rt, type ? rt.builtin(QString::fromLatin1(type)) : nullptr);
    }
    Value make(const char* type, std::vector<Value> args = {}) {
        return rt.constructClass(*vectorOf(type), Args{args.data(), int(args.size())});
    }
    Value call(const Value& target, const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, target, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    static Name at(int i) {
        Name n = Name::publicName(QString::number(i));
        n.index = i;
        return n;
    }
    QString text(const Value& v) { return rt.toString(v); }
};
} // namespace

TEST_F(Avm2Vector, ElementsTakeTheBaseType) {
    struct Case {
        const char* type;
        Value pushed;
        const char* stored;
    };
    const Case cases[] = {
        {"int", Value::number(3.7), "3"},
        {"int", Value::string(QStringLiteral("12")), "12"},
        {"uint", Value::integer(-1), "4294967295"},
        {"Number", Value::string(QStringLiteral("1.5")), "1.5"},
        {"String", Value::integer(7), "7"},
        {"Boolean", Value::string(QStringLiteral("x")), "true"},
        {nullptr, Value::string(QStringLiteral("kept")), "kept"},
    };
    for (const Case& c : cases) {
        Value v = make(c.type);
        call(v, "push", {c.pushed});
        EXPECT_EQ(text(PropertyAccess::get(rt, v, at(0))), QString::fromLatin1(c.stored)) << (c.type ? c.type : "*");
    }
    // New elements start at 0 for numbers and null for other types.
    EXPECT_EQ(text(make("Number", {Value::integer(2)})), QStringLiteral("0,0"));
    EXPECT_EQ(text(make("String", {Value::integer(2)})), QStringLiteral("null,null"));
    // A typed vector refuses a value of another class.
    EXPECT_EQ(errorId([&] { call(make("Array"), "push", {Value::integer(1)}); }), 1034);
}

TEST_F(Avm2Vector, FixedLengthAndRange) {
    Value fixed = make("int", {Value::integer(2), Value::boolean(true)});
    const std::pair<const char*, std::function<void()>> refused[] = {
        {"push", [&] { call(fixed, "push", {Value::integer(1)}); }},
        {"pop", [&] { call(fixed, "pop"); }},
        {"shift", [&] { call(fixed, "shift"); }},
        {"unshift", [&] { call(fixed, "unshift", {Value::integer(1)}); }},
        {"splice", [&] { call(fixed, "splice", {Value::integer(0), Value::integer(1)}); }},
        {"length", [&] { PropertyAccess::set(rt, fixed, Name::publicName(QStringLiteral("length")), Value::integer(5)); }},
    };
    for (const auto& [what, run] : refused) EXPECT_EQ(errorId(run), 1126) << what;
    // Replacing as many as are removed keeps the length, so a fixed vector allows it.
    EXPECT_EQ(errorId([&] { call(fixed, "splice", {Value::integer(0), Value::integer(1), Value::integer(9)}); }), 0);
    EXPECT_EQ(text(fixed), QStringLiteral("9,0"));

    EXPECT_EQ(errorId([&] { PropertyAccess::set(rt, fixed, at(2), Value::integer(1)); }), 1125);
    EXPECT_EQ(errorId([&] { PropertyAccess::get(rt, fixed, at(2)); }), 1125);
    Name negative = Name::publicName(QStringLiteral("-1"));
    EXPECT_EQ(errorId([&] { PropertyAccess::get(rt, fixed, negative); }), 1125);

    // One past the end grows a vector that is not fixed; two past does not.
    Value open = make("int");
    PropertyAccess::set(rt, open, at(0), Value::integer(4));
    EXPECT_EQ(errorId([&] { PropertyAccess::set(rt, open, at(2), Value::integer(1)); }), 1125);
    EXPECT_EQ(text(open), QStringLiteral("4"));
}

TEST_F(Avm2Vector, ConversionFunctionAndSpecialisation) {
    ClassObject* ints = vectorOf("int");
    EXPECT_EQ(ints, vectorOf("int")); // one class per base type
    EXPECT_EQ(ints->qualifiedName(), QStringLiteral("__AS3__.vec::Vector.<int>"));
    EXPECT_EQ(vectorOf(nullptr)->qualifiedName(), QStringLiteral("__AS3__.vec::Vector.<*>"));

    Value cls = Value::object(ints->shared_from_this());
    std::vector<Value> items = {Value::number(1.9), Value::string(QStringLiteral("2"))};
    Value array = Value::object(rt.newArray(items));
    Value converted = rt.call(cls, Value::null(), Args{&array, 1});
    EXPECT_EQ(text(converted), QStringLiteral("1,2"));
    EXPECT_TRUE(converted.obj()->cls == ints);
    // A vector already of the type comes back as it is; one of another type is copied.
    EXPECT_EQ(rt.call(cls, Value::null(), Args{&converted, 1}).o, converted.o);
    Value numbers = make("Number", {Value::integer(1)});
    EXPECT_NE(rt.call(cls, Value::null(), Args{&numbers, 1}).o, numbers.o);
    Value notAList = Value::integer(3);
    EXPECT_EQ(errorId([&] { rt.call(cls, Value::null(), Args{&notAList, 1}); }), 1034);
    // concat takes only vectors of the same type.
    EXPECT_EQ(errorId([&] { call(converted, "concat", {numbers}); }), 1034);
    EXPECT_EQ(text(call(converted, "concat", {converted})), QStringLiteral("1,2,1,2"));
    // Unspecialised Vector cannot be made.
    EXPECT_EQ(errorId([&] { rt.constructClass(*rt.builtin(QStringLiteral("__AS3__.vec.Vector")), {}); }), 1007);
}

TEST_F(Avm2Vector, Methods) {
    auto ints = [&] {
        Value v = make("int");
        call(v, "push", {Value::integer(3), Value::integer(10), Value::integer(2), Value::integer(10)});
        return v;
    };
    struct Case {
        const char* method;
        std::vector<Value> args;
        const char* result;
    };
    const Case cases[] = {
        {"sort", {Value::integer(0)}, "2,3,10,10"}, // numbers sort as numbers by default
        {"reverse", {}, "10,2,10,3"},
        {"slice", {Value::integer(1), Value::integer(-1)}, "10,2"},
        {"splice", {Value::integer(1), Value::integer(2)}, "10,2"},
        {"indexOf", {Value::integer(10)}, "1"},
        {"lastIndexOf", {Value::integer(10)}, "3"},
        {"lastIndexOf", {Value::integer(10), Value::integer(-2)}, "1"},
        {"join", {Value::string(QStringLiteral("-"))}, "3-10-2-10"},
        {"pop", {}, "10"},
        {"removeAt", {Value::integer(-9)}, "3"}, // a negative position counts from the end, stopping at 0
    };
    for (const Case& c : cases) {
        std::vector<Value> args = c.args;
        EXPECT_EQ(text(call(ints(), c.method, args)), QString::fromLatin1(c.result)) << c.method;
    }
    EXPECT_EQ(text(call(make("int"), "pop")), QStringLiteral("0"));
    EXPECT_TRUE(call(make("Object"), "pop").isUndefined());
    EXPECT_EQ(errorId([&] { call(ints(), "removeAt", {Value::integer(4)}); }), 1125);
    EXPECT_EQ(errorId([&] { call(ints(), "map"); }), 1063);
}
