// TextField.StyleSheet: styles kept as copies, turned into text formats.
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

TEST(Avm1StyleSheet, StylesAreCopiesAndParseFailuresChangeNothing)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value ctor = vm.getMember(vm.global->get("TextField"), "StyleSheet");
    Value sheet = vm.construct(ctor, {});
    ASSERT_TRUE(sheet.isObject());
    Object* style = vm.newObject();
    style->set("color", Value("#0000ff"));
    vm.callMethod(sheet, "setStyle", {Value("h"), Value(style)});
    style->set("color", Value("#ff0000")); // the sheet kept its own copy
    Value got = vm.callMethod(sheet, "getStyle", {Value("h")});
    EXPECT_EQ(vm.toString(vm.getMember(got, "color")), "#0000ff");
    EXPECT_FALSE(vm.strictEquals(got, vm.callMethod(sheet, "getStyle", {Value("h")})));
    EXPECT_TRUE(vm.callMethod(sheet, "getStyle", {Value("H")}).isNull()); // names are case-sensitive
    Value format = vm.getMember(vm.getMember(sheet, "_styles"), "h");
    EXPECT_EQ(vm.toNumber(vm.getMember(format, "color")), 0x0000ff);

    EXPECT_FALSE(vm.toBoolean(vm.callMethod(sheet, "parseCSS", {Value("p { size: 1 } long key { }")})));
    EXPECT_EQ(vm.toString(vm.callMethod(sheet, "getStyleNames", {})), "h");
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(sheet, "parseCSS", {Value("p { font-size: 14px; }")})));
    Value p = vm.callMethod(sheet, "getStyle", {Value("p")});
    EXPECT_EQ(vm.toString(vm.getMember(p, "fontSize")), "14px");
    EXPECT_EQ(vm.toNumber(vm.getMember(vm.getMember(vm.getMember(sheet, "_styles"), "p"), "size")), 14);
    vm.callMethod(sheet, "clear", {});
    EXPECT_TRUE(vm.callMethod(sheet, "getStyle", {Value("p")}).isNull());
}

TEST(Avm1StyleSheet, OnlySwf7AndLaterMoviesSeeTheClass)
{
    ScriptFixture older(6);
    EXPECT_TRUE(older.vm->getMember(older.vm->global->get("TextField"), "StyleSheet").isUndefined());
    ScriptFixture newer(7);
    EXPECT_TRUE(newer.vm->getMember(newer.vm->global->get("TextField"), "StyleSheet").isObject());
}
