// The ABC reader: what a block holds reads back, and damaged blocks give the
// reference player's error ids instead of a crash or an over-read.
#include "movie/avm2/AbcParser.h"
#include "movie/support/AbcBuilder.h"
#include <gtest/gtest.h>
#include <functional>

// Pool records are written with their leading fields only; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm2;
using nimbrel::movie::test::AbcBuilder;
using nimbrel::movie::test::AbcBodySpec;
using nimbrel::movie::test::AbcCode;

namespace {

// One of everything a block can hold; indices noted for the checks below.
struct FullBlock {
    AbcBuilder abc;
    uint32_t typeName = 0, rtqnameL = 0, multinameL = 0, attrMultiname = 0, vectorName = 0;
    FullBlock() {
        abc.intConst(-7);
        abc.uintConst(4000000000u);
        abc.doubleConst(2.5);
        const uint32_t pkg = abc.ns(NamespaceKind::Package, abc.string(QStringLiteral("flash.display")));
        const uint32_t priv = abc.ns(NamespaceKind::Private, abc.string(QStringLiteral("私有")));
        for (NamespaceKind k : {NamespaceKind::Namespace, NamespaceKind::PackageInternal, NamespaceKind::Protected,
                                NamespaceKind::Explicit, NamespaceKind::StaticProtected})
            abc.ns(k, abc.string(QStringLiteral("ns%1").arg(int(k))));
        const uint32_t set = abc.nsSet({pkg, priv});
        const uint32_t sprite = abc.multiname({MultinameKind::QName, pkg, abc.string(QStringLiteral("Sprite"))});
        abc.multiname({MultinameKind::QNameA, pkg, abc.string(QStringLiteral("id"))});
        abc.multiname({MultinameKind::RTQName, 0, abc.string(QStringLiteral("rt"))});
        abc.multiname({MultinameKind::RTQNameA, 0, abc.string(QStringLiteral("rta"))});
        rtqnameL = abc.multiname({MultinameKind::RTQNameL});
        abc.multiname({MultinameKind::RTQNameLA});
        abc.multiname({MultinameKind::Multiname, 0, abc.string(QStringLiteral("m")), set});
        attrMultiname = abc.multiname({MultinameKind::MultinameA, 0, abc.string(QStringLiteral("ma")), set});
        multinameL = abc.multiname({MultinameKind::MultinameL, 0, 0, set});
        abc.multiname({MultinameKind::MultinameLA, 0, 0, set});
        vectorName = abc.qname(QStringLiteral("__AS3__.vec"), QStringLiteral("Vector"));
        MultinameInfo generic{MultinameKind::TypeName};
        generic.base = vectorName;
        generic.typeParams = {sprite};
        typeName = abc.multiname(generic);

        MethodInfo m;
        m.paramTypes = {sprite, 0};
        m.returnType = typeName;
        m.name = abc.string(QStringLiteral("draw"));
        m.optionals = {{uint8_t(ConstantKind::Int), 1}};
        m.paramNames = {abc.string(QStringLiteral("a")), abc.string(QStringLiteral("b"))};
        abc.method(m);
        abc.method();
        abc.metadata({abc.string(QStringLiteral("Event")), {{abc.string(QStringLiteral("name")), abc.string(QStringLiteral("go"))}}});

        TraitInfo slot{sprite, TraitKind::Slot, 0, 1, typeName, {uint8_t(ConstantKind::Double), 1}};
        TraitInfo cnst{sprite, TraitKind::Const, traitattr::Metadata, 2, 0, {uint8_t(ConstantKind::Utf8), 1}, 0, {0}};
        TraitInfo meth{sprite, TraitKind::Method, traitattr::Final, 3, 0, {}, 0};
        TraitInfo get{sprite, TraitKind::Getter, traitattr::Override, 4, 0, {}, 1};
        TraitInfo set_{sprite, TraitKind::Setter, 0, 5, 0, {}, 1};
        TraitInfo func{sprite, TraitKind::Function, 0, 6, 0, {}, 1};
        TraitInfo cls{sprite, TraitKind::Class, 0, 7, 0, {}, 0};
        InstanceInfo inst{sprite, vectorName, instanceflags::Sealed | instanceflags::ProtectedNs, priv, {vectorName}, 1,
                          {slot, cnst, meth, get, set_}};
        abc.addClass(inst, ClassInfo{1, {func}});
        abc.script(ScriptInfo{1, {cls}});
        AbcBodySpec body;
        body.method = 1;
        body.code = AbcCode().op(Op::ReturnVoid).data();
        body.exceptions = {{0, 1, 0, sprite, 0}};
        abc.body(body);
    }
};

} // namespace

TEST(AbcParser, EveryPoolAndInfoReadsBack) {
    FullBlock block;
    auto parsed = AbcParser::parse(block.abc.build());
    ASSERT_TRUE(parsed) << qPrintable(parsed.error().message());
    const AbcFile& abc = parsed.value();
    EXPECT_EQ(abc.majorVersion, 46);
    EXPECT_EQ(abc.pool.ints[1], -7);
    EXPECT_EQ(abc.pool.uints[1], 4000000000u);
    EXPECT_EQ(abc.pool.doubles[1], 2.5);
    EXPECT_EQ(abc.namespaceText(1), QStringLiteral("flash.display"));
    EXPECT_EQ(abc.pool.strings[abc.pool.namespaces[2].name], QStringLiteral("私有"));
    EXPECT_EQ(abc.pool.namespaces.size(), 9u); // the implicit one, seven kinds, the vector package
    EXPECT_EQ(abc.pool.namespaceSets[1], (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(abc.multinameText(block.typeName), QStringLiteral("__AS3__.vec::Vector.<flash.display::Sprite>"));
    EXPECT_EQ(abc.pool.multinames[block.rtqnameL].runtimeParts(), 2);
    EXPECT_EQ(abc.pool.multinames[block.multinameL].runtimeParts(), 1);
    EXPECT_TRUE(abc.pool.multinames[block.attrMultiname].isAttribute());

    ASSERT_EQ(abc.methods.size(), 2u);
    EXPECT_EQ(abc.stringAt(abc.methods[0].name), QStringLiteral("draw"));
    EXPECT_EQ(abc.methods[0].paramTypes.size(), 2u);
    ASSERT_EQ(abc.methods[0].optionals.size(), 1u);
    EXPECT_EQ(abc.methods[0].optionals[0].kind, uint8_t(ConstantKind::Int));
    EXPECT_EQ(abc.stringAt(abc.methods[0].paramNames[1]), QStringLiteral("b"));
    EXPECT_EQ(abc.methods[0].body, -1);
    EXPECT_EQ(abc.methods[1].body, 0);
    EXPECT_EQ(abc.stringAt(abc.metadata[0].items[0].second), QStringLiteral("go"));

    ASSERT_EQ(abc.classes.size(), 1u);
    const InstanceInfo& inst = abc.instances[0];
    EXPECT_EQ(inst.protectedNs, 2u);
    ASSERT_EQ(inst.traits.size(), 5u);
    EXPECT_EQ(inst.traits[0].value.kind, uint8_t(ConstantKind::Double));
    EXPECT_EQ(inst.traits[1].metadata, std::vector<uint32_t>{0});
    EXPECT_EQ(inst.traits[3].kind, TraitKind::Getter);
    EXPECT_EQ(inst.traits[3].attributes, traitattr::Override);
    EXPECT_EQ(abc.classes[0].traits[0].kind, TraitKind::Function);
    EXPECT_EQ(abc.scripts[0].traits[0].kind, TraitKind::Class);
    ASSERT_EQ(abc.bodies[0].exceptions.size(), 1u);
    EXPECT_EQ(abc.bodies[0].code.size(), 1);
}

TEST(AbcParser, EveryCutShortCopyIsCorruptNotACrash) {
    const QByteArray whole = FullBlock().abc.build();
    for (qsizetype n = 0; n < whole.size(); ++n) {
        auto parsed = AbcParser::parse(whole.left(n));
        ASSERT_FALSE(parsed) << "prefix " << n;
        EXPECT_EQ(parsed.error().id, err::CorruptAbc) << "prefix " << n;
    }
}

TEST(AbcParser, BadIndicesGiveTheirErrorIds) {
    struct Case {
        const char* what;
        std::function<void(AbcBuilder&)> damage;
        int id;
    };
    const Case cases[] = {
        {"namespace name", [](AbcBuilder& a) { a.ns(NamespaceKind::Package, 99); }, err::PoolIndexOutOfRange},
        {"qname namespace", [](AbcBuilder& a) { a.multiname({MultinameKind::QName, 42, 0}); }, err::PoolIndexOutOfRange},
        {"multiname set 0", [](AbcBuilder& a) { a.multiname({MultinameKind::Multiname, 0, 0, 0}); }, err::PoolIndexOutOfRange},
        {"set member", [](AbcBuilder& a) { a.nsSet({7}); }, err::PoolIndexOutOfRange},
        {"generic base", [](AbcBuilder& a) { a.multiname({MultinameKind::TypeName, 0, 0, 0, 500}); }, err::PoolIndexOutOfRange},
        {"multiname kind", [](AbcBuilder& a) { a.multiname({MultinameKind(0x42)}); }, err::PoolEntryWrongType},
        {"return type", [](AbcBuilder& a) { a.method(MethodInfo{{}, 77}); }, err::PoolIndexOutOfRange},
        {"optional value", [](AbcBuilder& a) { a.method(MethodInfo{{0}, 0, 0, 0, {{uint8_t(ConstantKind::Double), 9}}}); }, err::PoolIndexOutOfRange},
        {"script initialiser", [](AbcBuilder& a) { a.script(ScriptInfo{12, {}}); }, err::MethodOutOfRange},
        {"class trait", [](AbcBuilder& a) { a.script(ScriptInfo{0, {TraitInfo{1, TraitKind::Class, 0, 0, 0, {}, 3}}}); }, err::ClassOutOfRange},
        {"trait kind", [](AbcBuilder& a) { a.script(ScriptInfo{0, {TraitInfo{1, TraitKind(9)}}}); }, err::UnsupportedTraitKind},
        {"body of a missing method", [](AbcBuilder& a) { a.body(AbcBodySpec{5}); }, err::MethodOutOfRange},
        {"second body", [](AbcBuilder& a) {
             const AbcBodySpec b{0, 1, 1, 0, 1, QByteArray(1, char(0x47))};
             a.body(b);
             a.body(b);
         }, err::DuplicateMethodBody},
        {"body longer than the block", [](AbcBuilder& a) {
             AbcBodySpec b{0};
             b.code = QByteArray(1, char(0x47));
             b.declaredLength = 4000;
             a.body(b);
         }, err::CorruptAbc},
    };
    for (const Case& c : cases) {
        AbcBuilder abc;
        abc.qname(QString(), QStringLiteral("x"));
        abc.method();
        c.damage(abc);
        auto parsed = AbcParser::parse(abc.build());
        ASSERT_FALSE(parsed) << c.what;
        EXPECT_EQ(parsed.error().id, c.id) << c.what << ": " << qPrintable(parsed.error().message());
    }
}
