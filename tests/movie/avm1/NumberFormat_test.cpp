#include "movie/avm1/NumberFormat.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace nimbrel::movie::avm1;

TEST(Avm1NumberFormat, FifteenSignificantDigitsAndExponentThresholds)
{
    EXPECT_EQ(numberToString(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberToString(1e21), "1e+21");
    EXPECT_EQ(numberToString(1e15), "1e+15");
    EXPECT_EQ(numberToString(123456789012345.0), "123456789012345");
    EXPECT_EQ(numberToString(11111111111111.1), "11111111111111.1");
    EXPECT_EQ(numberToString(0.0000123456789012346), "0.0000123456789012346");
    EXPECT_EQ(numberToString(5.4e-6), "5.4e-6");
    EXPECT_EQ(numberToString(0.000054), "0.000054");
    EXPECT_EQ(numberToString(-1.23456789123457e-308), "-1.23456789123457e-308");
    EXPECT_EQ(numberToString(std::numeric_limits<double>::denorm_min()), "4.94065645841247e-324");
    EXPECT_EQ(numberToString(-2.5), "-2.5");
    EXPECT_EQ(numberToString(100), "100");
    // Just under a half at the 16th digit (…565 written, …5649 stored): the
    // scaling into [1, 10) decides which way the last digit goes.
    const std::pair<double, const char*> halfway[] = {
        {1.234567891234565e-6, "1.23456789123457e-6"},
        {1.234567891234565e-308, "1.23456789123457e-308"},
        {1.234567891234565e308, "1.23456789123456e+308"},
        {-0.001244567891234565, "-0.00124456789123456"},
    };
    for (const auto& [v, text] : halfway)
        EXPECT_EQ(numberToString(v), text);
}

TEST(Avm1NumberFormat, SpecialValues)
{
    EXPECT_EQ(numberToString(-0.0), "0");
    EXPECT_EQ(numberToString(std::nan("")), "NaN");
    EXPECT_EQ(numberToString(INFINITY), "Infinity");
    EXPECT_EQ(numberToString(-INFINITY), "-Infinity");
}

TEST(Avm1NumberFormat, RadixStrings)
{
    EXPECT_EQ(numberToRadixString(255, 16), "ff");
    EXPECT_EQ(numberToRadixString(-8, 2), "-1000");
    EXPECT_EQ(numberToRadixString(35, 36), "z");
}

TEST(Avm1NumberFormat, TextToNumberDependsOnVersion)
{
    EXPECT_EQ(stringToNumber("", 6), 0);
    EXPECT_TRUE(std::isnan(stringToNumber("", 7)));
    EXPECT_EQ(stringToNumber("abc", 4), 0);
    EXPECT_TRUE(std::isnan(stringToNumber("abc", 5)));
    EXPECT_TRUE(std::isnan(stringToNumber("12abc", 7)));
    EXPECT_EQ(stringToNumber("  12.5", 7), 12.5);
    EXPECT_EQ(stringToNumber("0x1F", 7), 31);
    EXPECT_EQ(stringToNumber("0x-10", 7), -16);
    EXPECT_EQ(stringToNumber("1e3", 7), 1000);
    // A digitless exponent marker at the end is left out; anything after it is not.
    EXPECT_EQ(stringToNumber("1e", 7), 1);
    EXPECT_EQ(stringToNumber("-56e+", 6), -56);
    EXPECT_TRUE(std::isnan(stringToNumber("-56eu", 6)));
    EXPECT_TRUE(std::isnan(stringToNumber("1e ", 7)));
    // Blanks before a leading zero make the text decimal.
    EXPECT_EQ(stringToNumber("077", 6), 63);
    EXPECT_EQ(stringToNumber(" 077", 6), 77);
    EXPECT_EQ(stringToNumber(".5", 7), 0.5);
}

TEST(Avm1NumberFormat, ParseIntAndParseFloat)
{
    EXPECT_EQ(parseIntText("0x10", 0, false), 16);
    EXPECT_EQ(parseIntText("077", 0, false), 63);
    EXPECT_EQ(parseIntText("089", 0, false), 89);
    EXPECT_EQ(parseIntText("12px", 0, false), 12);
    EXPECT_EQ(parseIntText("ff", 16, true), 255);
    EXPECT_EQ(parseIntText("-z", 36, true), -35);
    EXPECT_TRUE(std::isnan(parseIntText("px", 0, false)));
    EXPECT_TRUE(std::isnan(parseIntText("1", 1, true)));
    EXPECT_EQ(parseFloatText("3.5e2x"), 350);
    EXPECT_EQ(parseFloatText("  -1.5"), -1.5);
    EXPECT_EQ(parseFloatText("Infinity"), INFINITY);
    EXPECT_TRUE(std::isnan(parseFloatText("x1")));
}

TEST(Avm1NumberFormat, ParseIntPrefixesSignsAndBlanks)
{
    // The hex prefix counts only at the very start, and is skipped whatever the radix.
    EXPECT_EQ(parseIntText("0x100", 36, true), 1296);
    EXPECT_EQ(parseIntText(" 0x100", 36, true), 1540944);
    EXPECT_EQ(parseIntText(" 0x-100", 0, false), 0);
    // After the prefix, blanks and a sign may follow.
    EXPECT_EQ(parseIntText("0x-100", 0, false), -256);
    EXPECT_EQ(parseIntText("0x -100", 0, false), -256);
    EXPECT_EQ(parseIntText("0x+0X100", 0, false), 0);
    EXPECT_TRUE(std::isnan(parseIntText("0x  ", 16, true)));
    // A sign glued to "0x": not a number unless x is a digit, then the sign is dropped.
    EXPECT_TRUE(std::isnan(parseIntText("-0x100", 0, false)));
    EXPECT_TRUE(std::isnan(parseIntText("+0x123", 33, true)));
    EXPECT_EQ(parseIntText("-0x100", 36, true), 1540944);
    EXPECT_EQ(parseIntText(" -0x100", 36, true), -1540944);
    // Octal needs the whole text to be octal digits, with no blanks around.
    EXPECT_EQ(parseIntText("-0100", 0, false), -64);
    EXPECT_EQ(parseIntText("-0100z", 0, false), -100);
    EXPECT_EQ(parseIntText("  077", 0, false), 77);
    EXPECT_EQ(parseIntText("077 ", 0, false), 77);
}

TEST(Avm1NumberFormat, Int32Wrapping)
{
    EXPECT_EQ(toInt32(4294967296.0 + 5), 5);
    EXPECT_EQ(toInt32(-1), -1);
    EXPECT_EQ(toInt32(2147483648.0), -2147483648);
    EXPECT_EQ(toInt32(-3.9), -3);
    EXPECT_EQ(toInt32(std::nan("")), 0);
    EXPECT_EQ(toInt32(INFINITY), 0);
}

// Hex text converts to a 32-bit signed integer: the value modulo 2^32, exact
// however many digits come first. parseInt keeps its full magnitude instead.
TEST(Avm1NumberFormat, HexTextIsExactModuloTwoToThe32)
{
    const QString zeros300(300, QLatin1Char('0'));
    const struct {
        QString text;
        double value;
    } cases[] = {
        {"0x1F", 31},
        {"0XaBcDeF", 11259375},
        {"0x0", 0},
        {"0x7fffffff", 2147483647},
        {"0x80000000", -2147483648.0},
        {"0xFFFFFFFF", -1},
        {"0Xff000000", -16777216},
        {"0x100000000", 0},
        {"0x1FFFFFFFF", -1},
        {"0x123456789", 591751049},
        {"0x1999999981ffffff", -2113929217},
        {"0x1999999981FFFFFE", -2113929218},
        {"0x1" + zeros300, 0},
        {"0x" + QString(100, QLatin1Char('f')), -1},
        {"0x" + QStringLiteral("aBc").repeated(40) + "12345678", 305419896},
        // The sign follows the prefix; the negated digits wrap the same way.
        {"0x-10", -16},
        {"0x+10", 16},
        {"0x-FFFFFFFF", 1},
        {"0x-1999999981ffffff", 2113929217},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(40).toStdString());
        EXPECT_EQ(stringToNumber(c.text, 6), c.value);
        EXPECT_EQ(stringToNumber(c.text, 7), c.value);
    }
    for (const QString& bad : {QStringLiteral("0x"), QStringLiteral("0xg"), QStringLiteral("0x1 "),
                               QString("0x1" + zeros300 + "z"), QStringLiteral("- 0x1"), QStringLiteral("-0x10"),
                               QStringLiteral("+0x10"), QStringLiteral("  0x10"), QStringLiteral("0x-")})
        EXPECT_TRUE(std::isnan(stringToNumber(bad, 7))) << bad.left(40).toStdString();
    // SWF 5 reads no hex.
    EXPECT_TRUE(std::isnan(stringToNumber("0x10", 5)));
    EXPECT_EQ(parseIntText("0x100000000", 0, false), 4294967296.0);
    EXPECT_EQ(parseIntText("0x1" + zeros300, 0, false), INFINITY);
}

TEST(Avm1NumberFormat, ClampToIntSaturates)
{
    const struct {
        double v;
        int want;
    } cases[] = {{0, 0},        {3.9, 3},           {-3.9, -3},         {2147483647.5, 2147483647},
                 {4294967296.0, 2147483647},         {-4294967296.0, -2147483647 - 1},
                 {1e300, 2147483647}, {INFINITY, 2147483647}, {-INFINITY, -2147483647 - 1}, {NAN, 0}};
    for (const auto& c : cases) EXPECT_EQ(clampToInt(c.v), c.want) << c.v;
}
