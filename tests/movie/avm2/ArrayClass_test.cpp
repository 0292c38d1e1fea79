// Array: lengths far past the stored elements cost nothing, and sort's
// option flags order, reverse, index and reject duplicates as documented.
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include <QStringList>
#include "movie/support/Avm2RuntimeTest.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2Array : nimbrel::movie::test::Avm2RuntimeTest {

    Value call(const Value& target, const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, target, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    Value make(std::vector<Value> args) {
        return rt.constructClass(*rt.builtin(QStringLiteral("Array")), Args{args.data(), int(args.size())});
    }
    QString text(const Value& v) { return rt.toString(v); }
};
} // namespace

TEST_F(Avm2Array, LengthsPastTheElementsAreNotStored) {
    Value huge = make({Value::number(4294967295.0)});
    auto* arr = static_cast<ArrayObject*>(huge.obj());
    EXPECT_EQ(arr->length(), 4294967295u);
    EXPECT_LT(arr->items.size(), size_t(ArrayObject::DenseGrowth));

    Value sparse = make({});
    Name far = Name::publicName(QStringLiteral("1073741822"));
    far.index = 1073741822;
    PropertyAccess::set(rt, sparse, far, Value::string(QStringLiteral("hi")));
    EXPECT_EQ(text(PropertyAccess::get(rt, sparse, Name::publicName(QStringLiteral("length")))), QStringLiteral("1073741823"));
    EXPECT_EQ(text(PropertyAccess::get(rt, sparse, far)), QStringLiteral("hi"));
    EXPECT_EQ(text(call(sparse, "pop")), QStringLiteral("hi"));
    EXPECT_EQ(text(PropertyAccess::get(rt, sparse, Name::publicName(QStringLiteral("length")))), QStringLiteral("1073741822"));

    EXPECT_THROW(make({Value::number(-1)}), ScriptThrow); // RangeError
}

TEST_F(Avm2Array, SortFlags) {
    auto list = [&] {
        return make({Value::integer(10), Value::string(QStringLiteral("b")), Value::integer(9), Value::string(QStringLiteral("B"))});
    };
    struct Case {
        int flags;
        const char* expected;
    };
    const Case cases[] = {
        {0, "10,9,B,b"},         // as text, code unit order
        {2, "b,B,9,10"},         // DESCENDING
        {1 | 4, "0"},            // CASEINSENSITIVE | UNIQUESORT: b and B tie, nothing sorted
        {8, "0,2,3,1"},          // RETURNINDEXEDARRAY: positions in sorted order
    };
    for (const Case& c : cases) EXPECT_EQ(text(call(list(), "sort", {Value::integer(c.flags)})), QString::fromLatin1(c.expected)) << c.flags;
    Value numbers = make({Value::integer(10), Value::integer(9), Value::integer(-1)});
    EXPECT_EQ(text(call(numbers, "sort", {Value::integer(16)})), QStringLiteral("-1,9,10")); // NUMERIC
}

TEST_F(Avm2Array, SortOnFields) {
    auto people = [&] {
        std::vector<Value> items;
        const std::pair<const char*, int> rows[] = {{"bob", 30}, {"Al", 4}, {"cy", 30}, {"al", 100}};
        for (const auto& [name, age] : rows) {
            ObjectPtr o = rt.newObject();
            o->setOwn(QStringLiteral("name"), Value::string(QString::fromLatin1(name)));
            o->setOwn(QStringLiteral("age"), Value::integer(age));
            items.push_back(Value::object(o));
        }
        return make(items);
    };
    auto names = [&](const Value& sorted) {
        QStringList out;
        for (const Value& v : static_cast<ArrayObject*>(sorted.obj())->items)
            out << text(PropertyAccess::get(rt, v, Name::publicName(QStringLiteral("name"))));
        return out.join(QLatin1Char(','));
    };
    auto list = [&](std::vector<Value> items) { return Value::object(rt.newArray(std::move(items))); };
    const Value name = Value::string(QStringLiteral("name")), age = Value::string(QStringLiteral("age"));
    struct Case {
        Value fields, options;
        const char* expected;
    };
    const Case cases[] = {
        {name, Value(), "Al,al,bob,cy"},
        {age, Value(), "al,bob,cy,Al"},                                   // "100" < "30" < "4" as text
        {age, Value::integer(16 | 2), "al,bob,cy,Al"},                    // NUMERIC | DESCENDING
        {list({age, name}), list({Value::integer(16), Value::integer(2)}), "Al,cy,bob,al"}, // per-field flags
    };
    for (const Case& c : cases) EXPECT_EQ(names(call(people(), "sortOn", {c.fields, c.options})), QString::fromLatin1(c.expected));
    // UNIQUESORT refuses ties; RETURNINDEXEDARRAY leaves the array alone.
    EXPECT_EQ(text(call(people(), "sortOn", {age, Value::integer(4)})), QStringLiteral("0"));
    Value original = people();
    EXPECT_EQ(text(call(original, "sortOn", {name, Value::integer(8 | 1)})), QStringLiteral("1,3,0,2"));
    EXPECT_EQ(names(original), QStringLiteral("bob,Al,cy,al"));
}
