// Which keys stay with a focused text field or with a movie that takes them.
#include "KeyMovies.h"
#include "movie/MoviePlayer.h"
#include "player/FlashSurface.h"
#include "player/KeyFocus.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <gtest/gtest.h>

using nimbrel::player::FlashSurface;
using nimbrel::player::KeyFocus;

namespace {

TEST(KeyFocus, TextFieldsKeepTheirKeysOtherWidgetsDoNot) {
    QLineEdit line;
    QSpinBox spin;
    QTextEdit text;
    QTextEdit readOnlyText;
    readOnlyText.setReadOnly(true);
    QPlainTextEdit plain;
    QComboBox editableCombo;
    editableCombo.setEditable(true);
    QComboBox combo;
    QListWidget list;
    QLabel label;
    const std::pair<QWidget*, bool> cases[] = {
        {&line, true},          {&spin, true},  {&text, true},  {&readOnlyText, false}, {&plain, true},
        {&editableCombo, true}, {&combo, false}, {&list, false}, {&label, false},
    };
    for (const auto& [widget, field] : cases) {
        EXPECT_EQ(KeyFocus::isTextField(widget), field) << widget->metaObject()->className();
        EXPECT_EQ(KeyFocus::holdsKey(widget, nullptr, Qt::Key_O, false), field) << widget->metaObject()->className();
    }
    EXPECT_FALSE(KeyFocus::holdsKey(nullptr, nullptr, Qt::Key_O, false));
}

class MovieKeysTest : public ::testing::Test {
protected:
    FlashSurface surface;
    bool load(const QByteArray& bytes) { return surface.player().loadData(bytes); }
    bool holds(int qtKey) { return KeyFocus::holdsKey(&surface, &surface, qtKey, false); }
};

TEST_F(MovieKeysTest, AButtonKeepsTheKeyOfItsCondition) {
    ASSERT_TRUE(load(keymovies::buttonKeyMovie(2)));
    EXPECT_TRUE(surface.player().takesKey(39)); // Right
    EXPECT_FALSE(surface.player().takesKey(37));
    EXPECT_TRUE(holds(Qt::Key_Right));
    EXPECT_FALSE(holds(Qt::Key_Left));
    EXPECT_FALSE(holds(Qt::Key_PageUp));
    // Only while the movie surface has the focus.
    QLabel elsewhere;
    EXPECT_FALSE(KeyFocus::holdsKey(&elsewhere, &surface, Qt::Key_Right, false));
}

TEST_F(MovieKeysTest, ACharacterConditionKeepsThatLetter) {
    ASSERT_TRUE(load(keymovies::buttonKeyMovie('o')));
    EXPECT_TRUE(surface.player().takesKey(79, QStringLiteral("o")));
    EXPECT_FALSE(surface.player().takesKey(85, QStringLiteral("u")));
}

TEST_F(MovieKeysTest, AKeyListenerKeepsEveryKey) {
    ASSERT_TRUE(load(keymovies::keyListenerMovie()));
    for (int qtKey : {Qt::Key_Right, Qt::Key_Return, Qt::Key_O, Qt::Key_PageDown})
        EXPECT_TRUE(holds(qtKey)) << qtKey;
}

TEST_F(MovieKeysTest, AFocusedInputFieldKeepsEveryKeyAnUnfocusedOneNone) {
    ASSERT_TRUE(load(keymovies::inputFieldMovie()));
    EXPECT_FALSE(surface.player().takesKey(79));
    const QSize viewport(550, 400);
    surface.player().mousePress(QPointF(20, 10), viewport);
    surface.player().mouseRelease(QPointF(20, 10), viewport);
    EXPECT_TRUE(surface.player().takesKey(79));
    EXPECT_TRUE(surface.player().takesKey(39));
}

TEST_F(MovieKeysTest, AMovieWithoutKeyHandlersOrNoMovieKeepsNothing) {
    EXPECT_FALSE(surface.player().takesKey(39)) << "nothing loaded";
    ASSERT_TRUE(load(keymovies::keylessMovie()));
    for (int qtKey : {Qt::Key_Right, Qt::Key_Return, Qt::Key_O})
        EXPECT_FALSE(holds(qtKey)) << qtKey;
}

} // namespace
