// Editing input text fields from the keyboard: typing over the selection,
// restrict and maxChars, line breaks, deleting, caret moves, and the
// clipboard commands (with password fields keeping their text to themselves).
#include "movie/MoviePlayer.h"
#include "movie/TextEntry.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using display::EditTextObject;
using Command = TextEntry::Command;

namespace {

class TextEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::SwfBuilder b;
        b.showFrame();
        b.end();
        ASSERT_TRUE(player.loadData(b.build()));
        field = std::make_shared<EditTextObject>(player.root()->context(), QRectF(0, 0, 4000, 400));
        field->input = true;
    }
    void setText(const char* text, int anchor, int caret) {
        field->setText(QString::fromUtf8(text));
        field->setSelection(anchor, caret);
    }
    bool run(Command c) { return TextEntry::command(*field, c, clipboard); }

    MoviePlayer player;
    std::shared_ptr<EditTextObject> field;
    QString clipboard;
};

} // namespace

TEST_F(TextEntryTest, TypingReplacesTheSelectionAndLeavesTheCaretAfterIt) {
    setText("hello", 1, 4);
    EXPECT_TRUE(TextEntry::type(*field, QStringLiteral("EY")));
    EXPECT_EQ(field->text(), QStringLiteral("hEYo"));
    EXPECT_EQ(field->caret(), 3);
    EXPECT_EQ(field->selectionBegin(), 3);
    // Keys that type no text change nothing; neither does typing into a dynamic field.
    EXPECT_FALSE(TextEntry::type(*field, QStringLiteral("\t\n\x7f")));
    field->input = false;
    EXPECT_FALSE(TextEntry::type(*field, QStringLiteral("x")));
    EXPECT_EQ(field->text(), QStringLiteral("hEYo"));
}

TEST_F(TextEntryTest, RestrictAndMaxCharsLimitWhatArrivesCountingTheReplacedSelection) {
    field->restrict = QStringLiteral("a-c");
    field->maxChars = 4;
    setText("abca", 1, 3);
    // Two characters are selected, so two of the allowed ones fit.
    EXPECT_TRUE(TextEntry::type(*field, QStringLiteral("xbbbz")));
    EXPECT_EQ(field->text(), QStringLiteral("abba"));
    EXPECT_FALSE(TextEntry::type(*field, QStringLiteral("c")));
}

TEST_F(TextEntryTest, EnterBreaksOnlyFieldsOfSeveralLines) {
    setText("ab", 1, 1);
    EXPECT_FALSE(run(Command::Enter));
    field->multiline = true;
    EXPECT_TRUE(run(Command::Enter));
    EXPECT_EQ(field->text(), QStringLiteral("a\rb"));
    EXPECT_EQ(field->caret(), 2);
}

TEST_F(TextEntryTest, DeletingWorksAtTheCaretOrOnTheSelectionAndStopsAtTheEnds) {
    setText("abcd", 0, 0);
    EXPECT_FALSE(run(Command::Backspace));
    EXPECT_TRUE(run(Command::Delete));
    EXPECT_EQ(field->text(), QStringLiteral("bcd"));
    field->setSelection(3, 3);
    EXPECT_FALSE(run(Command::Delete));
    EXPECT_TRUE(run(Command::Backspace));
    EXPECT_EQ(field->text(), QStringLiteral("bc"));
    field->setSelection(2, 0);
    EXPECT_TRUE(run(Command::Backspace));
    EXPECT_EQ(field->text(), QString());
}

TEST_F(TextEntryTest, CaretMovesCollapseTheSelectionToItsSide) {
    setText("abcd", 1, 3);
    run(Command::MoveLeft);
    EXPECT_EQ(field->caret(), 1);
    EXPECT_EQ(field->selectionEnd(), 1);
    run(Command::MoveLeft);
    run(Command::MoveLeft);
    EXPECT_EQ(field->caret(), 0);
    run(Command::SelectAll);
    EXPECT_EQ(field->selectionEnd(), 4);
    run(Command::MoveRight);
    run(Command::MoveRight);
    EXPECT_EQ(field->caret(), 4);
    EXPECT_EQ(field->selectionBegin(), 4);
}

TEST_F(TextEntryTest, ClipboardCopiesCutsAndPastesButAnEmptyPasteKeepsTheSelection) {
    setText("hello", 0, 2);
    EXPECT_FALSE(run(Command::Copy));
    EXPECT_EQ(clipboard, QStringLiteral("he"));
    field->setSelection(3, 5);
    EXPECT_TRUE(run(Command::Cut));
    EXPECT_EQ(clipboard, QStringLiteral("lo"));
    EXPECT_EQ(field->text(), QStringLiteral("hel"));
    field->setSelection(0, 0);
    EXPECT_TRUE(run(Command::Paste));
    EXPECT_EQ(field->text(), QStringLiteral("lohel"));
    clipboard.clear();
    run(Command::SelectAll);
    EXPECT_FALSE(run(Command::Paste));
    EXPECT_EQ(field->text(), QStringLiteral("lohel"));
}

TEST_F(TextEntryTest, PastedLinesRunTogetherInAOneLineFieldWithinMaxChars) {
    for (bool multiline : {false, true}) {
        field->multiline = multiline;
        field->maxChars = 5;
        setText("xxxxx", 3, 5);
        clipboard = QStringLiteral("a\nb");
        EXPECT_TRUE(run(Command::Paste));
        EXPECT_EQ(field->text(), multiline ? QStringLiteral("xxxa\r") : QStringLiteral("xxxab")) << multiline;
    }
    field->restrict = QStringLiteral("y");
    field->setSelection(3, 5);
    EXPECT_TRUE(run(Command::Paste)) << "a paste restrict refuses still takes the selection away";
    EXPECT_EQ(field->text(), QStringLiteral("xxx"));
}

TEST_F(TextEntryTest, PasswordFieldsNeitherCopyNorCutAndPastesObeyRestrict) {
    field->password = true;
    setText("secret", 0, 6);
    clipboard = QStringLiteral("kept");
    EXPECT_FALSE(run(Command::Copy));
    EXPECT_FALSE(run(Command::Cut));
    EXPECT_EQ(clipboard, QStringLiteral("kept"));
    EXPECT_EQ(field->text(), QStringLiteral("secret"));
    field->restrict = QStringLiteral("e");
    EXPECT_TRUE(run(Command::Paste));
    EXPECT_EQ(field->text(), QStringLiteral("e"));
}

TEST_F(TextEntryTest, ALetterRestrictRefusesGoesInAsItsOtherCase) {
    field->restrict = QStringLiteral("bc");
    setText("", 0, 0);
    EXPECT_TRUE(TextEntry::type(*field, QStringLiteral("aAbBcCdD")));
    EXPECT_EQ(field->text(), QStringLiteral("bbcc"));
    // Characters without cases stay out, and only Latin letters change case.
    EXPECT_FALSE(TextEntry::type(*field, QStringLiteral("1-")));
    field->restrict = QStringLiteral("\u0394"); // capital delta
    EXPECT_FALSE(TextEntry::type(*field, QStringLiteral("\u03b4")));
    EXPECT_EQ(field->text(), QStringLiteral("bbcc"));
}
