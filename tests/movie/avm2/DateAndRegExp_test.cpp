// Date's time arithmetic and text forms, and RegExp-driven String methods,
// in UTC so the figures do not depend on the machine's time zone.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/DateMath.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2TraceHost.h"
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
class Avm2DateInUtc : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool hadTz_ = false;
};
} // namespace

TEST_F(Avm2DateInUtc, DateFieldsAndTimeValuesConvertBothWays) {
    struct Case {
        DateMath::Fields fields;
        double time;
        int weekDay;
    };
    const Case cases[] = {
        {{1970, 0, 1, 0, 0, 0, 0}, 0, 4},
        {{1969, 11, 31, 23, 59, 59, 999}, -1, 3},
        {{2000, 1, 29, 12, 0, 0, 0}, 951825600000.0, 2}, // leap day
        {{1900, 0, 1, 0, 0, 0, 0}, -2208988800000.0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateMath::make(c.fields), c.time);
        EXPECT_EQ(DateMath::fields(c.time), c.fields);
        EXPECT_EQ(DateMath::weekDay(c.time), c.weekDay);
    }
    // Months past December carry into the year; NaN anywhere is an invalid date.
    EXPECT_EQ(DateMath::make({1969, 12, 1, 0, 0, 0, 0}), 0);
    EXPECT_TRUE(std::isnan(DateMath::make({1970, NAN, 1, 0, 0, 0, 0})));
    EXPECT_TRUE(std::isnan(DateMath::clip(8.64e15 + 1)));
}

TEST_F(Avm2DateInUtc, DateTextFormsAndParsing) {
    EXPECT_EQ(DateMath::toText(0), QStringLiteral("Thu Jan 1 00:00:00 GMT+0000 1970"));
    EXPECT_EQ(DateMath::utcText(0), QStringLiteral("Thu Jan 1 00:00:00 1970 UTC"));
    EXPECT_EQ(DateMath::localeText(13 * 3600000.0), QStringLiteral("Thu Jan 1 1970 01:00:00 PM"));
    EXPECT_EQ(DateMath::toText(NAN), QStringLiteral("Invalid Date"));
    const std::pair<const char*, double> parsed[] = {
        {"Thu Jan 1 00:00:00 GMT+0000 1970", 0},
        {"Thu Jan 1 01:00:00 GMT+0100 1970", 0},
        {"1/2/1970", 86400000.0},
        {"Jan 2, 1970 12:00:00 AM", 86400000.0},
    };
    for (const auto& [text, t] : parsed) EXPECT_EQ(DateMath::parse(QString::fromLatin1(text)), t) << text;
    EXPECT_TRUE(std::isnan(DateMath::parse(QStringLiteral("not a date"))));
}

TEST(Avm2RegExp, StringMethodsTakeExpressions) {
    nimbrel::movie::test::Avm2TraceHost host;
    Runtime rt(host);
    auto regexp = [&](const char* pattern, const char* flags) {
        Value args[2] = {Value::string(QString::fromLatin1(pattern)), Value::string(QString::fromLatin1(flags))};
        return rt.constructClass(*rt.builtin(QStringLiteral("RegExp")), Args{args, 2});
    };
    auto callString = [&](const char* text, const char* method, std::vector<Value> args) {
        return rt.toString(PropertyAccess::call(rt, Value::string(QString::fromLatin1(text)),
                                                Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())}));
    };
    struct Case {
        const char* text;
        const char* method;
        const char* pattern;
        const char* flags;
        std::vector<Value> more;
        const char* expected;
    };
    const Case cases[] = {
        {"a1b22c", "split", "\\d+", "", {}, "a,b,c"},
        {"abc", "split", "", "", {}, "a,b,c"},
        {"a-b", "split", "(-)", "", {}, "a,-,b"},
        {"aXbX", "replace", "x", "gi", {Value::string(QStringLiteral("[$&]"))}, "a[X]b[X]"},
        {"john smith", "replace", "(\\w+) (\\w+)", "", {Value::string(QStringLiteral("$2, $1"))}, "smith, john"},
        {"one two", "match", "\\w+", "g", {}, "one,two"},
        {"xyz", "search", "z", "", {}, "2"},
        {"xyz", "search", "q", "", {}, "-1"},
    };
    for (const Case& c : cases) {
        std::vector<Value> args{regexp(c.pattern, c.flags)};
        args.insert(args.end(), c.more.begin(), c.more.end());
        EXPECT_EQ(callString(c.text, c.method, args), QString::fromLatin1(c.expected)) << c.text << " " << c.method;
    }
    // exec on a global expression walks the text through lastIndex.
    Value re = regexp("o", "g");
    Value text = Value::string(QStringLiteral("foo"));
    const Name exec = Name::publicName(QStringLiteral("exec"));
    EXPECT_EQ(rt.toString(PropertyAccess::get(rt, PropertyAccess::call(rt, re, exec, Args{&text, 1}), Name::publicName(QStringLiteral("index")))), QStringLiteral("1"));
    EXPECT_EQ(rt.toString(PropertyAccess::get(rt, PropertyAccess::call(rt, re, exec, Args{&text, 1}), Name::publicName(QStringLiteral("index")))), QStringLiteral("2"));
    EXPECT_TRUE(PropertyAccess::call(rt, re, exec, Args{&text, 1}).isNull());
}
