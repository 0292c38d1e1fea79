// TextField and TextFormat as scripts use them: fields made by
// createTextField, their properties, formats, and variable binding.
#include "movie/MoviePlayer.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ButtonObject.h"
#include "movie/support/ButtonFixtures.h"
#include "movie/support/SwfBuilder.h"
#include "movie/support/TextFieldFixtures.h"
#include "support/ActionAssembler.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::SwfBuilder;

namespace {

// obj.name (obj a variable).
ActionAssembler& member(ActionAssembler& a, const QString& obj, const QString& name) {
    return a.getVariable(obj).pushString(name).op(0x4E);
}
ActionAssembler& traceMember(ActionAssembler& a, const QString& obj, const QString& name) {
    return member(a, obj, name).trace();
}
ActionAssembler& setNumber(ActionAssembler& a, const QString& obj, const QString& name, double v) {
    return a.getVariable(obj).pushString(name).pushNumber(v).op(0x4F);
}
ActionAssembler& setString(ActionAssembler& a, const QString& obj, const QString& name, const QString& v) {
    return a.getVariable(obj).pushString(name).pushString(v).op(0x4F);
}
// t = _root.createTextField("field", 5, 10, 20, 100, 30)
ActionAssembler& createField(ActionAssembler& a) {
    a.pushString("t");
    a.pushInt(30).pushInt(100).pushInt(20).pushInt(10).pushInt(5).pushString("field").pushInt(6);
    return a.getVariable("_root").pushString("createTextField").op(0x52).setVariable();
}
// name = new TextFormat()
ActionAssembler& newFormat(ActionAssembler& a, const QString& name) {
    return a.pushString(name).pushInt(0).pushString("TextFormat").op(0x40).setVariable();
}

struct ScriptRun {
    MoviePlayer player;
    QStringList traces;
};

// A movie of one frame per script.
void play(ScriptRun& r, const std::vector<ActionAssembler>& frames, uint8_t version = 8) {
    SwfBuilder b;
    for (const ActionAssembler& f : frames) {
        const std::vector<uint8_t>& code = f.bytes();
        QByteArray bytes(reinterpret_cast<const char*>(code.data()), qsizetype(code.size()));
        bytes.append('\0');
        b.doAction(bytes);
        b.showFrame();
    }
    b.end();
    r.player.setTraceSink([&r](const QString& line) { r.traces << line; });
    ASSERT_TRUE(r.player.loadData(b.build(SwfBuilder::Container::Fws, version, {0, 11000, 0, 8000}, 24,
                                          uint16_t(frames.size()))));
    for (size_t i = 1; i < frames.size(); ++i) r.player.stepFrame();
}

} // namespace

TEST(TextFieldClass, CreateTextFieldMakesAFieldScriptsCanShape) {
    ActionAssembler a;
    createField(a);
    a.getVariable("t").trace();
    setString(a, "t", "text", "hello\nworld");
    traceMember(a, "t", "length");
    setNumber(a, "t", "_width", 50);
    traceMember(a, "t", "_width");
    traceMember(a, "t", "_xscale");
    setString(a, "t", "type", "INPUT");
    setString(a, "t", "type", "bogus");
    traceMember(a, "t", "type");
    setString(a, "t", "autoSize", "CENTER");
    traceMember(a, "t", "autoSize");
    traceMember(a, "t", "maxChars");
    traceMember(a, "t", "variable");
    a.pushInt(0).getVariable("t").pushString("getDepth").op(0x52).trace();
    a.pushInt(0).getVariable("t").pushString("removeTextField").op(0x52).op(0x17);
    a.getVariable("_root").pushString("field").op(0x4E).trace();
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces, QStringList({"_level0.field", "11", "50", "100", "input", "center", "null", "null", "5", "undefined"}));
}

TEST(TextFieldClass, TextFormatsConvertLikeThePlayerAndApplyToRanges) {
    ActionAssembler a;
    newFormat(a, "f");
    traceMember(a, "f", "font");
    setNumber(a, "f", "size", 2.5);
    traceMember(a, "f", "size");
    setNumber(a, "f", "size", 3.5);
    traceMember(a, "f", "size");
    setNumber(a, "f", "color", -3);
    traceMember(a, "f", "color");
    setNumber(a, "f", "leftMargin", -3);
    traceMember(a, "f", "leftMargin");
    createField(a);
    setString(a, "t", "text", "abc");
    newFormat(a, "red");
    setNumber(a, "red", "color", 0xFF0000);
    // t.setTextFormat(1, 2, red): only "b" turns red.
    a.getVariable("red").pushInt(2).pushInt(1).pushInt(3).getVariable("t").pushString("setTextFormat").op(0x52).op(0x17);
    a.pushInt(1).pushInt(1).getVariable("t").pushString("getTextFormat").op(0x52).pushString("color").op(0x4E).trace();
    a.pushInt(0).pushInt(1).getVariable("t").pushString("getTextFormat").op(0x52).pushString("color").op(0x4E).trace();
    a.pushInt(0).getVariable("t").pushString("getTextFormat").op(0x52).pushString("color").op(0x4E).trace();
    a.pushInt(0).getVariable("t").pushString("getNewTextFormat").op(0x52).pushString("size").op(0x4E).trace();
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces, QStringList({"null", "2", "4", "4294967293", "0", "16711680", "0", "null", "12"}));
}

TEST(TextFieldClass, BoundFieldsFollowTheirVariableAndWriteItBack) {
    ActionAssembler first;
    createField(first);
    setString(first, "t", "variable", "v");
    first.pushString("v").pushString("from variable").setVariable();
    traceMember(first, "t", "text");
    setString(first, "t", "text", "from field");
    first.getVariable("v").trace();
    first.pushString("v").pushString("next frame").setVariable();
    ActionAssembler second;
    second.traceString("frame 2");
    ScriptRun r;
    play(r, {first, second});
    EXPECT_EQ(r.traces, QStringList({"from variable", "from field", "frame 2"}));
    // The field itself picked up the change made after its last read, without a script asking.
    display::DisplayObject* o = r.player.root()->childAt(16384 + 5);
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(o->type(), display::DisplayObject::Type::EditText);
    EXPECT_EQ(static_cast<display::EditTextObject*>(o)->text(), QStringLiteral("next frame"));
}

TEST(TextFieldClass, HtmlTextRoundTripsThroughTheField) {
    ActionAssembler a;
    createField(a);
    a.getVariable("t").pushString("html").pushBool(true).op(0x4F);
    setString(a, "t", "htmlText", "<b>x</b>&amp;");
    traceMember(a, "t", "text");
    traceMember(a, "t", "htmlText");
    a.getVariable("t").pushString("html").pushBool(false).op(0x4F);
    setString(a, "t", "htmlText", "<b>y</b>");
    traceMember(a, "t", "text");
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces,
              QStringList({"x&", "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
                                 "LETTERSPACING=\"0\" KERNING=\"0\"><B>x</B>&amp;</FONT></P>",
                           "<b>y</b>"}));
}

TEST(TextFieldClass, TextFormatKeepsAlignOnNullAndReadsTabStopsFromListLikeObjects) {
    ActionAssembler a;
    newFormat(a, "f");
    setString(a, "f", "align", "right");
    a.getVariable("f").pushString("align").pushNull().op(0x4F);
    setString(a, "f", "align", "sideways");
    traceMember(a, "f", "align");
    setString(a, "f", "display", "inline");
    a.getVariable("f").pushString("display").pushUndefined().op(0x4F);
    traceMember(a, "f", "display");
    // f.tabStops = {length: 2, 0: 3.4, 1: "7"}
    a.getVariable("f").pushString("tabStops");
    a.pushString("length").pushInt(2).pushString("0").pushNumber(3.4).pushString("1").pushString("7").pushInt(3).op(0x43);
    a.op(0x4F);
    traceMember(a, "f", "tabStops");
    a.getVariable("f").pushString("tabStops").pushInt(5).op(0x4F);
    traceMember(a, "f", "tabStops");
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces, QStringList({"right", "block", "3,7", "null"}));
}

TEST(TextFieldClass, ScrollCountsLinesFromZeroInThirtyTwoBits) {
    ActionAssembler a;
    createField(a);
    setString(a, "t", "text", "1\n2\n3\n4\n5\n6");
    traceMember(a, "t", "maxscroll");
    // Each value, as the player's 32-bit line counter takes it.
    for (double v : {-10.0, 2.0, 100.0, -2147483648.0, 2147483649.0, 4294967298.0}) {
        setNumber(a, "t", "scroll", v);
        traceMember(a, "t", "scroll");
    }
    ScriptRun r;
    play(r, {a});
    ASSERT_EQ(r.traces.size(), 7);
    const QString max = r.traces[0];
    EXPECT_GT(max.toInt(), 2);
    EXPECT_EQ(r.traces.mid(1), QStringList({"1", "2", max, max, "1", "2"}));
}

TEST(TextFieldClass, RenderingSettingsAreCheckedOnFieldsAndPlainOnOtherObjects) {
    ActionAssembler a;
    createField(a);
    traceMember(a, "t", "antiAliasType");
    traceMember(a, "t", "gridFitType");
    setString(a, "t", "antiAliasType", "advanced");
    setString(a, "t", "gridFitType", "subpixel");
    setString(a, "t", "gridFitType", "bogus");
    setNumber(a, "t", "sharpness", -539);
    traceMember(a, "t", "antiAliasType");
    traceMember(a, "t", "gridFitType");
    traceMember(a, "t", "sharpness");
    // o = new TextField(): no field behind it.
    a.pushString("o").pushInt(0).pushString("TextField").op(0x40).setVariable();
    setString(a, "o", "thickness", "mine");
    setString(a, "o", "scroll", "ignored");
    traceMember(a, "o", "thickness");
    traceMember(a, "o", "scroll");
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces, QStringList({"normal", "pixel", "advanced", "subpixel", "-539", "mine", "undefined"}));
}

TEST(TextFieldClass, TheClassFollowsTheMovieVersion) {
    struct Case {
        uint8_t version;
        QStringList traces; // typeof TextField.prototype, typeof its replaceText
    } cases[] = {
        {5, {"undefined", "undefined"}},
        {6, {"object", "undefined"}},
        {7, {"object", "function"}},
    };
    for (const Case& c : cases) {
        ActionAssembler a;
        member(a, "TextField", "prototype").op(0x44).trace();
        member(a, "TextField", "prototype").pushString("replaceText").op(0x4E).op(0x44).trace();
        ScriptRun r;
        play(r, {a}, c.version);
        EXPECT_EQ(r.traces, c.traces) << int(c.version);
    }
}

TEST(TextFieldClass, ReplaceSelReplacesTheSelectionAndScriptFocusSelectsAll) {
    auto replaceSel = [](ActionAssembler& a, const QString& s) {
        a.pushString(s).pushInt(1).getVariable("t").pushString("replaceSel").op(0x52).op(0x17);
        traceMember(a, "t", "text");
    };
    auto focus = [](ActionAssembler& a) {
        a.getVariable("t").pushInt(1).getVariable("Selection").pushString("setFocus").op(0x52).op(0x17);
    };
    ActionAssembler a;
    createField(a);
    setString(a, "t", "text", "test");
    replaceSel(a, "|"); // no selection made yet: the caret is at the start
    replaceSel(a, "a"); // and moved past what went in
    focus(a);
    replaceSel(a, "X");
    setString(a, "t", "text", "ab");
    focus(a); // focused already, selected again
    replaceSel(a, "Y");
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces, QStringList({"|test", "|atest", "X", "Y"}));
}

TEST(TextFieldClass, AFieldKeepsItsTextWhenItsVariableRefusesIt) {
    ActionAssembler a;
    createField(a);
    setString(a, "t", "variable", "v");
    a.pushString("v").pushString("initial").setVariable();
    traceMember(a, "t", "text");
    // ASSetPropFlags(_root, "v", 4): v is read-only from here on.
    a.pushInt(4).pushString("v").getVariable("_root").callFunction("ASSetPropFlags", 3).op(0x17);
    setString(a, "t", "text", "typed");
    a.getVariable("v").trace();
    traceMember(a, "t", "text");
    ScriptRun r;
    play(r, {a});
    EXPECT_EQ(r.traces, QStringList({"initial", "initial", "typed"}));
}

namespace {

// A field shown by a button follows the variable of the clip holding the button.
TEST(TextFieldClass, AFieldInAButtonFollowsItsClipsVariable) {
    using namespace nimbrel::movie::test;
    SwfBuilder b;
    defineBoxFont(b, 1);
    FieldSpec spec;
    spec.text = "Broken";
    spec.variable = "Text1";
    defineField(b, spec);
    BitWriter w;
    w.u16(3);
    w.u8(0);
    const QByteArray records = buttonStateRecords(2, 2, 2);
    w.u16(0); // no actions
    w.bytes(records);
    b.tag(34, w.data());
    Placement place;
    place.characterId = 3;
    b.placeObject2(place);
    ActionAssembler a;
    a.pushString("Text1").pushString("Working").setVariable();
    const std::vector<uint8_t>& code = a.bytes();
    b.doAction(QByteArray(reinterpret_cast<const char*>(code.data()), qsizetype(code.size())).append('\0'));
    b.showFrame();
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 24, 2)));
    player.stepFrame();
    const auto& top = player.root()->children();
    ASSERT_EQ(top.size(), 1u);
    ASSERT_EQ(top.begin()->second->type(), display::DisplayObject::Type::Button);
    const auto& shown = static_cast<display::ButtonObject*>(top.begin()->second.get())->children();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown.begin()->second->type(), display::DisplayObject::Type::EditText);
    EXPECT_EQ(static_cast<display::EditTextObject*>(shown.begin()->second.get())->text(), QStringLiteral("Working"));
}

} // namespace
