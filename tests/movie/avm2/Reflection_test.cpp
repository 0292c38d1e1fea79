// Reflection in the second machine: classes found by name in either spelling,
// and describeType's XML for a small script class: its statics, the factory
// of its instances, and members with their declared types.
#include "movie/avm2/FunctionObject.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;
using nimbrel::movie::test::AbcBodySpec;
using nimbrel::movie::test::AbcBuilder;
using nimbrel::movie::test::AbcCode;

namespace {

// class Small { public var x:int; public static const LIMIT:Number;
//   private var hidden; public function grow(by:int, twice:Boolean = false):String;
//   public function get size():uint; public function Small(start:*) }
QByteArray smallClassBlock() {
    AbcBuilder abc;
    auto q = [&](const char* name) { return abc.qname(QString(), QString::fromLatin1(name)); };
    const uint32_t object = q("Object"), small = q("Small"), intType = q("int"), number = q("Number");
    const uint32_t boolean = q("Boolean"), string = q("String"), uintType = q("uint");
    auto method = [&](std::vector<uint32_t> params, uint32_t ret, std::vector<ConstantValue> optionals = {}) {
        MethodInfo m;
        m.paramTypes = std::move(params);
        m.returnType = ret;
        m.optionals = std::move(optionals);
        if (!m.optionals.empty()) m.flags |= methodflags::HasOptional;
        return abc.method(m);
    };
    const uint32_t scriptInit = method({}, 0), staticInit = method({}, 0), ctor = method({0}, 0);
    const uint32_t grow = method({intType, boolean}, string, {ConstantValue{uint8_t(ConstantKind::False), 0}});
    const uint32_t size = method({}, uintType);
    auto trait = [](uint32_t name, TraitKind kind, uint32_t id, uint32_t typeOrIndex) {
        TraitInfo t;
        t.name = name;
        t.kind = kind;
        t.id = id;
        (kind == TraitKind::Slot || kind == TraitKind::Const ? t.typeName : t.index) = typeOrIndex;
        return t;
    };
    const uint32_t privateNs = abc.ns(NamespaceKind::Private, abc.string(QStringLiteral("Small.as$1")));
    const uint32_t hidden = abc.multiname(MultinameInfo{MultinameKind::QName, privateNs, abc.string(QStringLiteral("hidden")), 0, 0, {}});
    InstanceInfo instance{small, object, instanceflags::Sealed, 0, {}, ctor,
                          {trait(q("x"), TraitKind::Slot, 1, intType), trait(hidden, TraitKind::Slot, 2, 0),
                           trait(q("grow"), TraitKind::Method, 0, grow), trait(q("size"), TraitKind::Getter, 0, size)}};
    abc.addClass(instance, ClassInfo{staticInit, {trait(q("LIMIT"), TraitKind::Const, 1, number)}});
    abc.script(ScriptInfo{scriptInit, {trait(small, TraitKind::Class, 1, 0)}});
    auto body = [&](uint32_t m, const AbcCode& code) {
        AbcBodySpec b;
        b.method = m;
        b.maxStack = 3;
        b.localCount = 2;
        b.maxScopeDepth = 3;
        b.code = code.data();
        abc.body(b);
    };
    body(scriptInit, AbcCode().op(Op::GetLocal0).op(Op::PushScope).op(Op::GetScopeObject).u30(0).op(Op::GetLex).u30(object)
                         .op(Op::PushScope).op(Op::GetLex).u30(object).op(Op::NewClass).u30(0).op(Op::PopScope)
                         .op(Op::InitProperty).u30(small).op(Op::ReturnVoid));
    body(staticInit, AbcCode().op(Op::ReturnVoid));
    body(ctor, AbcCode().op(Op::GetLocal0).op(Op::ConstructSuper).u30(0).op(Op::ReturnVoid));
    body(grow, AbcCode().op(Op::PushNull).op(Op::ReturnValue));
    body(size, AbcCode().op(Op::PushByte).u8(3).op(Op::ReturnValue));
    return abc.build();
}

struct Avm2Reflection : nimbrel::movie::test::Avm2RuntimeTest {
    Value utility(const char* name, const Value& arg) {
        Name n = Name::publicName(QString::fromLatin1(name));
        n.single = Namespace::publicNs(QStringLiteral("flash.utils"));
        const Value fn = PropertyAccess::get(rt, Value::object(rt.findGlobal(n)->shared_from_this()), n);
        return rt.call(fn, Value::null(), Args{&arg, 1});
    }
    QString described(const Value& v) {
        const Value xml = utility("describeType", v);
        return rt.toString(PropertyAccess::call(rt, xml, Name::publicName(QStringLiteral("toXMLString")), {}));
    }
};

} // namespace

TEST_F(Avm2Reflection, DefinitionsByEitherSpellingOfTheirName) {
    const Value byteArray = Value::object(rt.builtin(QStringLiteral("flash.utils.ByteArray"))->shared_from_this());
    struct Case {
        const char* name;
        Value expected;
    };
    const Case cases[] = {{"flash.utils.ByteArray", byteArray}, {"flash.utils::ByteArray", byteArray},
                          {"Object", Value::object(rt.builtin(QStringLiteral("Object"))->shared_from_this())}};
    for (const Case& c : cases) EXPECT_EQ(utility("getDefinitionByName", Value::string(QString::fromLatin1(c.name))).obj(), c.expected.obj()) << c.name;
    EXPECT_EQ(errorId([&] { utility("getDefinitionByName", Value::string(QStringLiteral("no.such.Thing"))); }), 1065);
    EXPECT_EQ(rt.toString(utility("getQualifiedSuperclassName", byteArray)), QStringLiteral("Object"));
    EXPECT_TRUE(utility("getQualifiedSuperclassName", Value::object(rt.builtin(QStringLiteral("Object"))->shared_from_this())).isNull());
}

TEST_F(Avm2Reflection, DescribeTypeListsTheMembersOfASmallClass) {
    rt.loadAndRun(smallClassBlock());
    auto cls = rt.findClass(QStringLiteral("Small"));
    ASSERT_NE(cls, nullptr);
    const QString ofClass = described(Value::object(cls));
    for (const char* part : {"<type name=\"Small\" base=\"Class\" isDynamic=\"true\" isFinal=\"true\" isStatic=\"true\">",
                             "<constant name=\"LIMIT\" type=\"Number\"/>", "<factory type=\"Small\">",
                             "<parameter index=\"1\" type=\"*\" optional=\"false\"/>"})
        EXPECT_TRUE(ofClass.contains(QString::fromLatin1(part))) << part << "\n" << qPrintable(ofClass);
    const Value arg = Value::integer(1);
    const QString ofInstance = described(rt.constructClass(*cls, Args{&arg, 1}));
    for (const char* part : {"<type name=\"Small\" base=\"Object\" isDynamic=\"false\" isFinal=\"false\" isStatic=\"false\">",
                             "<extendsClass type=\"Object\"/>", "<variable name=\"x\" type=\"int\"/>",
                             "<accessor name=\"size\" access=\"readonly\" type=\"uint\" declaredBy=\"Small\"/>",
                             "<method name=\"grow\" declaredBy=\"Small\" returnType=\"String\">",
                             "<parameter index=\"2\" type=\"Boolean\" optional=\"true\"/>"})
        EXPECT_TRUE(ofInstance.contains(QString::fromLatin1(part))) << part << "\n" << qPrintable(ofInstance);
    EXPECT_FALSE(ofInstance.contains(QStringLiteral("hidden"))) << "private members are not listed";
    EXPECT_FALSE(ofInstance.contains(QStringLiteral("LIMIT"))) << "statics belong to the class";
}
