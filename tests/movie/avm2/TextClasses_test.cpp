// flash.text in the ActionScript 3 machine: TextField over the engine's text
// fields (made by scripts or placed by the timeline), TextFormat ranges, line
// metrics, the documented errors, Font and StyleSheet.
#include "movie/avm2/ClassObject.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/support/Avm2TextMovie.h"

using namespace nimbrel::movie;
using avm2::Value;

namespace {

struct TextClasses : test::Avm2TextMovie {
    // A script-made field in the embedded Box font at 20 px: every glyph is 20 px wide,
    // ascent 15.625 and descent 4.375 px.
    Value boxField(const char* content) {
        Value field = make("flash.text.TextField");
        set(field, "embedFonts", Value::boolean(true));
        set(field, "defaultTextFormat", make("flash.text.TextFormat", {str("Box"), num(20)}));
        set(field, "text", str(content));
        return field;
    }
    Value format(const Value& field, std::vector<Value> range) { return call(field, "getTextFormat", std::move(range)); }
};

TEST_F(TextClasses, TimelineFieldIsATextFieldOverTheSameObject) {
    const Value field = call(bridge->valueOf(player.root()), "getChildByName", {str("field")});
    ASSERT_TRUE(field.isObject());
    EXPECT_EQ(rt->classOf(field)->qualifiedName(), QStringLiteral("flash.text::TextField"));
    set(field, "text", str("AB"));
    auto* shown = dynamic_cast<display::EditTextObject*>(avm2::StageBridge::displayOf(field));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), QStringLiteral("AB"));
    // The file's format: the Box font at 20 px in red.
    const Value f = format(field, {});
    EXPECT_EQ(text(get(f, "font")), QStringLiteral("Box"));
    EXPECT_EQ(number(get(f, "size")), 20);
    EXPECT_EQ(number(get(f, "color")), 0xFF0000);
}

TEST_F(TextClasses, ScriptFieldLaysOutLinesWithTheirMetrics) {
    const Value field = boxField("AAA\rAB");
    EXPECT_EQ(number(get(field, "numLines")), 2);
    EXPECT_EQ(number(get(field, "length")), 6);
    EXPECT_EQ(number(get(field, "textWidth")), 60);
    EXPECT_EQ(text(call(field, "getLineText", {num(0)})), QStringLiteral("AAA\r"));
    EXPECT_EQ(text(call(field, "getLineText", {num(1)})), QStringLiteral("AB"));
    EXPECT_EQ(number(call(field, "getLineOffset", {num(1)})), 4);
    EXPECT_EQ(number(call(field, "getLineLength", {num(0)})), 4);
    EXPECT_EQ(number(call(field, "getLineIndexOfChar", {num(5)})), 1);
    EXPECT_EQ(number(call(field, "getLineIndexOfChar", {num(6)})), -1);
    EXPECT_EQ(number(call(field, "getFirstCharInParagraph", {num(5)})), 4);
    EXPECT_EQ(number(call(field, "getParagraphLength", {num(1)})), 4);

    const Value metrics = call(field, "getLineMetrics", {num(0)});
    EXPECT_EQ(text(get(metrics, "x")), QStringLiteral("2"));
    EXPECT_EQ(number(get(metrics, "width")), 60);
    EXPECT_DOUBLE_EQ(number(get(metrics, "ascent")), 15.625);
    EXPECT_DOUBLE_EQ(number(get(metrics, "descent")), 4.375);
    EXPECT_DOUBLE_EQ(number(get(metrics, "height")), 20);

    // The second character of the second line: one glyph in, one line down, inside the 2 px gutter.
    const Value box = call(field, "getCharBoundaries", {num(5)});
    ASSERT_TRUE(box.isObject());
    EXPECT_EQ(number(get(box, "x")), 22);
    EXPECT_EQ(number(get(box, "y")), 22);
    EXPECT_EQ(number(get(box, "width")), 20);
    EXPECT_EQ(number(get(box, "height")), 20);
    EXPECT_EQ(number(call(field, "getCharIndexAtPoint", {num(25), num(25)})), 5);
    EXPECT_EQ(number(call(field, "getCharIndexAtPoint", {num(90), num(5)})), -1);
}

TEST_F(TextClasses, FormatRangesReadBackMixedSettingsAsNull) {
    const Value field = boxField("AAAA");
    const Value red = make("flash.text.TextFormat");
    set(red, "color", num(0xFF0000));
    call(field, "setTextFormat", {red, num(1), num(3)});
    EXPECT_EQ(number(get(format(field, {num(1), num(3)}), "color")), 0xFF0000);
    EXPECT_EQ(number(get(format(field, {num(0), num(1)}), "color")), 0);
    const Value whole = format(field, {});
    EXPECT_TRUE(get(whole, "color").isNull()) << "mixed colours read as null";
    // An end of -1 runs to the end of the text: from 2 that is red then black, from 3 black only.
    EXPECT_TRUE(get(format(field, {num(2), num(-1)}), "color").isNull());
    EXPECT_EQ(number(get(format(field, {num(3), num(-1)}), "color")), 0);
    EXPECT_EQ(number(get(whole, "size")), 20) << "what every character shares is kept";
    // Text added later takes the default format, not the range's.
    call(field, "appendText", {str("B")});
    EXPECT_EQ(number(get(format(field, {num(4), num(5)}), "color")), 0);
    EXPECT_EQ(text(get(field, "text")), QStringLiteral("AAAAB"));
}

TEST_F(TextClasses, EditingAndSelection) {
    const Value field = boxField("ABBA");
    call(field, "replaceText", {num(1), num(3), str("xyz")});
    EXPECT_EQ(text(get(field, "text")), QStringLiteral("AxyzA"));
    call(field, "setSelection", {num(1), num(4)});
    EXPECT_EQ(text(get(field, "selectedText")), QStringLiteral("xyz"));
    call(field, "replaceSelectedText", {str("-")});
    EXPECT_EQ(text(get(field, "text")), QStringLiteral("A-A"));
    EXPECT_EQ(number(get(field, "caretIndex")), 2);
    set(field, "htmlText", str("<b>bold</b> plain"));
    EXPECT_EQ(text(get(field, "text")), QStringLiteral("bold plain"));
    EXPECT_EQ(get(format(field, {num(0), num(1)}), "bold").toBoolean(), true);
    EXPECT_TRUE(text(get(field, "htmlText")).contains(QStringLiteral("<B>bold</B>")));
}

TEST_F(TextClasses, DocumentedErrors) {
    const Value field = boxField("AB");
    const Value fmt = make("flash.text.TextFormat");
    const struct {
        const char* what;
        std::function<void()> run;
        int id;
    } cases[] = {
        {"line past the last", [&] { call(field, "getLineText", {num(1)}); }, 2006},
        {"negative line", [&] { call(field, "getLineMetrics", {num(-1)}); }, 2006},
        {"replace before the start", [&] { call(field, "replaceText", {num(-1), num(0), str("x")}); }, 2006},
        {"format range past the end", [&] { call(field, "getTextFormat", {num(0), num(9)}); }, 2006},
        {"set format past the end", [&] { call(field, "setTextFormat", {fmt, num(3), num(4)}); }, 2006},
        {"unknown autoSize", [&] { set(field, "autoSize", str("sideways")); }, 2008},
        {"unknown type", [&] { set(field, "type", str("static")); }, 2008},
        {"empty format range", [&] { call(field, "getTextFormat", {num(1), num(1)}); }, 2006},
        {"unknown antiAliasType is ignored", [&] { set(field, "antiAliasType", str("smooth")); }, 0},
        {"null text", [&] { set(field, "text", Value::null()); }, 2007},
        {"null default format", [&] { set(field, "defaultTextFormat", Value::null()); }, 2007},
        {"unknown align", [&] { set(fmt, "align", str("middle")); }, 2008},
        {"known values pass", [&] { set(field, "autoSize", str("center")); set(fmt, "align", str("end")); }, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(errorId(c.run), c.id) << c.what;
    EXPECT_EQ(text(get(field, "autoSize")), QStringLiteral("center"));
    EXPECT_EQ(text(get(field, "antiAliasType")), QStringLiteral("normal"));
    set(field, "gridFitType", str("smooth"));
    EXPECT_EQ(text(get(field, "gridFitType")), QStringLiteral("none")) << "an unknown grid fit turns it off";
}

TEST_F(TextClasses, TextFormatSettingsAreNullUntilSet) {
    const Value empty = make("flash.text.TextFormat");
    for (const char* p : {"font", "size", "color", "bold", "italic", "underline", "url", "target", "align",
                          "leftMargin", "rightMargin", "indent", "leading", "blockIndent", "bullet", "kerning",
                          "letterSpacing", "tabStops"})
        EXPECT_TRUE(get(empty, p).isNull()) << p;
    EXPECT_EQ(text(get(empty, "display")), QStringLiteral("block"));
    const Value given = make("flash.text.TextFormat", {str("Box"), num(12.7), num(0x123456), Value::boolean(true)});
    EXPECT_EQ(text(get(given, "font")), QStringLiteral("Box"));
    EXPECT_EQ(number(get(given, "size")), 12) << "sizes are whole pixels";
    EXPECT_EQ(number(get(given, "color")), 0x123456);
    EXPECT_TRUE(get(given, "bold").toBoolean());
    set(given, "size", Value::null());
    EXPECT_TRUE(get(given, "size").isNull());
}

TEST_F(TextClasses, EmbeddedFontsAreEnumeratedWithTheirGlyphs) {
    const Value fonts = call(Value::object(rt->builtin(QStringLiteral("flash.text.Font"))->shared_from_this()),
                             "enumerateFonts");
    ASSERT_EQ(number(get(fonts, "length")), 1);
    const Value box = call(fonts, "pop");
    EXPECT_EQ(text(get(box, "fontName")), QStringLiteral("Box"));
    EXPECT_EQ(text(get(box, "fontStyle")), QStringLiteral("regular"));
    EXPECT_EQ(text(get(box, "fontType")), QStringLiteral("embedded"));
    EXPECT_TRUE(call(box, "hasGlyphs", {str("ABBA")}).toBoolean());
    EXPECT_FALSE(call(box, "hasGlyphs", {str("AC")}).toBoolean());
}

TEST_F(TextClasses, StyleSheetKeepsCopiesAndTransformsCss) {
    const Value sheet = make("flash.text.StyleSheet");
    call(sheet, "parseCSS", {str("Heading { color: #FF0000; font-size: 24px; }")});
    const Value style = call(sheet, "getStyle", {str("heading")});
    EXPECT_EQ(text(get(style, "color")), QStringLiteral("#FF0000"));
    set(style, "color", str("#00FF00"));
    EXPECT_EQ(text(get(call(sheet, "getStyle", {str("HEADING")}), "color")), QStringLiteral("#FF0000"))
        << "getStyle hands out a copy";
    EXPECT_EQ(text(get(sheet, "styleNames")), QStringLiteral("heading"));

    const struct {
        const char* css;
        const char* value;
        const char* property;
        const char* expected;
    } rows[] = {
        {"color", "#12", "color", "18"},         {"color", "red", "color", "0"},
        {"fontSize", "50.5 px", "size", "50"},    {"fontSize", "-5", "size", "null"},
        {"marginLeft", "x50", "leftMargin", "-2147483648"},
        {"letterSpacing", "1.5em", "letterSpacing", "1.5"},
        {"fontFamily", "mono, serif", "font", "_typewriter,_serif"},
        {"fontWeight", "bold", "bold", "true"},   {"kerning", "0", "kerning", "false"},
        {"display", "odd", "display", "null"},    {"textDecoration", "none", "underline", "false"},
    };
    for (const auto& r : rows) {
        const Value css = Value::object(rt->newObject());
        set(css, r.css, str(r.value));
        EXPECT_EQ(text(get(call(sheet, "transform", {css}), r.property)), QString::fromLatin1(r.expected)) << r.css;
    }
    call(sheet, "clear");
    EXPECT_EQ(number(get(get(sheet, "styleNames"), "length")), 0);
}

// What textInput listeners saw; they keep "x" out of the field.
QStringList typed;
Value refuseX(avm2::Runtime& rt, const Value&, avm2::Args a) {
    const QString text = rt.toString(avm2::PropertyAccess::get(rt, a[0], avm2::Name::publicName(QStringLiteral("text"))));
    typed << text;
    if (text == QLatin1String("x"))
        avm2::PropertyAccess::call(rt, a[0], avm2::Name::publicName(QStringLiteral("preventDefault")), {});
    return Value();
}
Value recordChange(avm2::Runtime& rt, const Value&, avm2::Args a) {
    typed << QStringLiteral("change:") + rt.toString(avm2::PropertyAccess::get(rt, a[0], avm2::Name::publicName(QStringLiteral("type"))));
    return Value();
}

TEST_F(TextClasses, TypingGoesThroughTextInputAndChange) {
    typed.clear();
    const Value field = call(bridge->valueOf(player.root()), "getChildByName", {str("field")});
    ASSERT_EQ(text(get(field, "type")), QStringLiteral("input"));
    set(field, "text", str(""));
    auto listen = [&](const char* type, avm2::NativeFn fn) {
        call(field, "addEventListener", {str(type), Value::object(rt->makeFunction(avm2::MethodRef{nullptr, 0, fn}, nullptr))});
    };
    listen("textInput", refuseX);
    listen("change", recordChange);
    const QSize viewport(400, 300);
    player.mousePress(QPointF(10, 10), viewport);
    player.mouseRelease(QPointF(10, 10), viewport);
    player.textInput(QStringLiteral("A"));
    player.textInput(QStringLiteral("x"));
    EXPECT_EQ(text(get(field, "text")), QStringLiteral("A")) << "a prevented textInput keeps its text out";
    EXPECT_EQ(typed, QStringList({"A", "change:change", "x"}));
}

Value recordFocus(avm2::Runtime& rt, const Value&, avm2::Args a) {
    const Value related = avm2::PropertyAccess::get(rt, a[0], avm2::Name::publicName(QStringLiteral("relatedObject")));
    typed << rt.toString(avm2::PropertyAccess::get(rt, a[0], avm2::Name::publicName(QStringLiteral("type")))) +
                 (related.isNull() ? QStringLiteral(" from nothing") : QStringLiteral(" with another"));
    return Value();
}

TEST_F(TextClasses, StageFocusMovesThePlayersFocusWithFocusEvents) {
    typed.clear();
    const Value stage = bridge->stageValue();
    const Value timeline = call(bridge->valueOf(player.root()), "getChildByName", {str("field")});
    const Value other = boxField("AB");
    call(bridge->valueOf(player.root()), "addChild", {other});
    for (const Value& f : {timeline, other})
        for (const char* type : {"focusIn", "focusOut"})
            call(f, "addEventListener", {str(type), Value::object(rt->makeFunction(avm2::MethodRef{nullptr, 0, recordFocus}, nullptr))});
    set(stage, "focus", timeline);
    EXPECT_EQ(get(stage, "focus").obj(), timeline.obj());
    set(stage, "focus", other);
    set(stage, "focus", Value::null());
    EXPECT_TRUE(get(stage, "focus").isNull());
    EXPECT_EQ(typed, QStringList({"focusIn from nothing", "focusOut with another", "focusIn with another",
                                  "focusOut from nothing"}));
}

TEST_F(TextClasses, LinesScrolledOffTheTopHaveNoCharacterBoxes) {
    const Value field = boxField("A\rA\rA");
    set(field, "height", num(24)); // room for one 20 px line inside the gutters
    EXPECT_EQ(number(get(field, "maxScrollV")), 3);
    set(field, "scrollV", num(2));
    EXPECT_EQ(number(get(field, "bottomScrollV")), 2);
    EXPECT_TRUE(call(field, "getCharBoundaries", {num(0)}).isNull());
    const Value box = call(field, "getCharBoundaries", {num(2)});
    ASSERT_TRUE(box.isObject());
    EXPECT_EQ(number(get(box, "y")), 2) << "the first line shown starts at the top";
    EXPECT_EQ(number(call(field, "getLineIndexAtPoint", {num(5), num(10)})), 1);
}

} // namespace
