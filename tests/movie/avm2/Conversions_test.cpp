// ActionScript 3 conversions: number text both ways, the Number formatting
// methods, ToInt32/ToUint32 wrapping, and ToString/ToNumber/ToBoolean of
// every kind of value as the runtime does them.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/NumberText.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2TraceHost.h"
#include <cmath>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

TEST(Avm2Conversions, NumbersPrintWithTheShortestDigitsInEcmaLayout) {
    const std::pair<double, const char*> cases[] = {
        {0.1 + 0.2, "0.30000000000000004"}, {1e21, "1e+21"}, {1e20, "100000000000000000000"},
        {123.456, "123.456"}, {-0.0, "0"}, {1e-7, "1e-7"}, {0.000001, "0.000001"}, {-1.5e-10, "-1.5e-10"},
        {std::nan(""), "NaN"}, {-INFINITY, "-Infinity"}, {4294967295.0, "4294967295"}, {1.7976931348623157e308, "1.7976931348623157e+308"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(NumberText::format(v), QString::fromLatin1(text)) << text;
}

TEST(Avm2Conversions, TextReadsAsANumberOrNaN) {
    const std::pair<const char*, double> cases[] = {
        {" 12 ", 12}, {"0x1A", 26}, {"", 0}, {"  ", 0}, {"1e3", 1000}, {"-.5", -0.5}, {"5.", 5},
        {"Infinity", INFINITY}, {"-Infinity", -INFINITY}, {"12px", NAN}, {"abc", NAN}, {"1e", NAN}, {"0x", NAN},
    };
    for (const auto& [text, v] : cases) {
        const double got = NumberText::parse(QString::fromLatin1(text));
        if (std::isnan(v)) EXPECT_TRUE(std::isnan(got)) << text;
        else EXPECT_EQ(got, v) << text;
    }
}

TEST(Avm2Conversions, FormattingMethods) {
    EXPECT_EQ(NumberText::toFixed(1.005, 2), QStringLiteral("1.00")); // the double below 1.005
    EXPECT_EQ(NumberText::toFixed(-0.0001, 2), QStringLiteral("0.00"));
    EXPECT_EQ(NumberText::toFixed(1e21, 2), QStringLiteral("1e+21"));
    EXPECT_EQ(NumberText::toExponential(123456, 2), QStringLiteral("1.23e+5"));
    EXPECT_EQ(NumberText::toExponential(0.00015, -1), QStringLiteral("1.5e-4"));
    EXPECT_EQ(NumberText::toPrecision(123.456, 4), QStringLiteral("123.5"));
    EXPECT_EQ(NumberText::toPrecision(123456, 2), QStringLiteral("1.2e+5"));
    EXPECT_EQ(NumberText::toPrecision(0.000123, 2), QStringLiteral("0.00012"));
    EXPECT_EQ(NumberText::toRadix(255, 16), QStringLiteral("ff"));
    EXPECT_EQ(NumberText::toRadix(-10, 2), QStringLiteral("-1010"));
}

TEST(Avm2Conversions, IntegersWrapModulo2To32) {
    const std::pair<double, int32_t> cases[] = {
        {4294967296.0 + 5, 5}, {-1.9, -1}, {2147483648.0, -2147483647 - 1}, {NAN, 0}, {INFINITY, 0}, {-4294967297.0, -1},
    };
    for (const auto& [v, i] : cases) EXPECT_EQ(Value::toInt32(v), i) << v;
    EXPECT_EQ(Value::toUint32(-1), 4294967295u);
    // A whole double in int range is kept as an int; -0 is not.
    EXPECT_EQ(Value::number(3.0).kind, Value::Kind::Int);
    EXPECT_EQ(Value::number(-0.0).kind, Value::Kind::Number);
    EXPECT_EQ(Value::unsignedInt(4000000000u).kind, Value::Kind::Number);
}

TEST(Avm2Conversions, ValuesOfEveryKind) {
    nimbrel::movie::test::Avm2TraceHost host;
    Runtime rt(host);
    auto arr = rt.newArray({Value::integer(1), Value::null(), Value::string(QStringLiteral("x"))});
    struct Case {
        Value v;
        const char* text;
        double number;
        bool boolean;
        const char* type;
    };
    const Case cases[] = {
        {Value(), "undefined", NAN, false, "undefined"},
        {Value::null(), "null", 0, false, "object"},
        {Value::boolean(true), "true", 1, true, "boolean"},
        {Value::integer(-7), "-7", -7, true, "number"},
        {Value::number(NAN), "NaN", NAN, false, "number"},
        {Value::string(QString()), "", 0, false, "string"},
        {Value::string(QStringLiteral("0")), "0", 0, true, "string"},
        {Value::object(arr), "1,,x", NAN, true, "object"},
        {Value::object(rt.newObject()), "[object Object]", NAN, true, "object"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rt.toString(c.v), QString::fromLatin1(c.text)) << c.text;
        const double n = rt.toNumber(c.v);
        if (std::isnan(c.number)) EXPECT_TRUE(std::isnan(n)) << c.text;
        else EXPECT_EQ(n, c.number) << c.text;
        EXPECT_EQ(c.v.toBoolean(), c.boolean) << c.text;
        EXPECT_EQ(rt.typeOf(c.v), QString::fromLatin1(c.type)) << c.text;
    }
    EXPECT_TRUE(rt.looseEquals(Value::string(QStringLiteral("1")), Value::boolean(true)));
    EXPECT_TRUE(rt.looseEquals(Value::null(), Value()));
    EXPECT_FALSE(strictEquals(Value::null(), Value()));
    EXPECT_FALSE(rt.looseEquals(Value::number(NAN), Value::number(NAN)));
    EXPECT_EQ(rt.lessThan(Value::number(NAN), Value::integer(1)), -1);
    EXPECT_EQ(rt.toString(rt.add(Value::integer(1), Value::string(QStringLiteral("2")))), QStringLiteral("12"));
}
