// Dictionary: object keys count by identity (two objects with the same text
// are two keys), other keys by their text, and enumeration gives the key
// objects themselves.
#include "movie/avm2/DictionaryObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <QStringList>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2Dictionary : nimbrel::movie::test::Avm2RuntimeTest {
    Value dict = rt.constructClass(*rt.builtin(QStringLiteral("flash.utils.Dictionary")), {});

    // The name a script's d[key] looks up.
    Name keyed(const Value& key) {
        Name n = Name::publicName(rt.toString(key));
        n.index = PropertyAccess::indexOf(n.local);
        if (key.isObject()) n.objectKey = key.obj();
        return n;
    }
};
} // namespace

TEST_F(Avm2Dictionary, ObjectKeysByIdentity) {
    const Value a = Value::object(rt.newObject()), b = Value::object(rt.newObject());
    ASSERT_EQ(rt.toString(a), rt.toString(b)); // both "[object Object]"
    PropertyAccess::set(rt, dict, keyed(a), Value::integer(1));
    PropertyAccess::set(rt, dict, keyed(b), Value::integer(2));
    PropertyAccess::set(rt, dict, keyed(Value::string(QStringLiteral("[object Object]"))), Value::integer(3));
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, dict, keyed(a))), 1);
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, dict, keyed(b))), 2);
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, dict, keyed(Value::string(QStringLiteral("[object Object]"))))), 3);
    // A number and its text are one key.
    PropertyAccess::set(rt, dict, keyed(Value::integer(7)), Value::integer(4));
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, dict, keyed(Value::string(QStringLiteral("7"))))), 4);

    EXPECT_TRUE(PropertyAccess::remove(rt, dict, keyed(a)));
    EXPECT_FALSE(PropertyAccess::has(rt, dict, keyed(a)));
    EXPECT_TRUE(PropertyAccess::has(rt, dict, keyed(b)));

    // for-in: the live object key first, then the named ones.
    std::vector<Value> names;
    ScriptObject* d = dict.obj();
    for (int p = d->nextEnumPosition(0); p; p = d->nextEnumPosition(p)) names.push_back(d->enumName(p));
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].o, b.o);
    EXPECT_EQ(rt.toString(names[1]), QStringLiteral("[object Object]"));
    EXPECT_EQ(rt.toString(names[2]), QStringLiteral("7"));
}

// for-in reaches enumerable properties of the prototypes too, unless a nearer object has the name.
TEST_F(Avm2Dictionary, EnumerationFollowsThePrototypeChain) {
    ObjectPtr base = rt.newObject(), middle = rt.newObject(), obj = rt.newObject();
    middle->proto = base;
    obj->proto = middle;
    base->setOwn(QStringLiteral("a"), Value::integer(1));
    base->setOwn(QStringLiteral("hidden"), Value::integer(2), false);
    middle->setOwn(QStringLiteral("b"), Value::integer(3));
    middle->setOwn(QStringLiteral("a"), Value::integer(4));
    obj->setOwn(QStringLiteral("b"), Value::integer(5));
    QStringList seen;
    for (int p = obj->nextEnumPosition(0); p; p = obj->nextEnumPosition(p))
        seen << rt.toString(obj->enumName(p)) + QLatin1Char('=') + rt.toString(obj->enumValue(p));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("b=5"), QStringLiteral("a=4")}));
}
