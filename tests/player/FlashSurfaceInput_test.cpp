// The pointer and the keyboard reaching a movie through the surface: a movie
// that stops itself starts again from its own button, keys reach buttons and
// clips, and getURL opens only web addresses.
#include "player/ProcessEventsUntil.h"
#include "KeyMovies.h"
#include "movie/support/ButtonFixtures.h"
#include "movie/KeyCodes.h"
#include "movie/MoviePlayer.h"
#include "movie/display/DisplayObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptEngine.h"
#include "movie/swf/ButtonDef.h"
#include "movie/support/SwfBuilder.h"
#include "player/FlashSurface.h"
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>
#include <QThread>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::player::FlashSurface;
using nimbrel::movie::test::BitWriter;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

constexpr char actionPlay = 0x06;
constexpr char actionStop = 0x07;


// Pointer and key events as the window system delivers them to the surface.
void mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
    const bool down = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const Qt::MouseButtons held = down ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(pos), w.mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}
void moveTo(QWidget& w, QPoint pos) { mouse(w, QEvent::MouseMove, Qt::NoButton, pos); }
void click(QWidget& w, Qt::MouseButton button, QPoint pos) {
    moveTo(w, pos);
    mouse(w, QEvent::MouseButtonPress, button, pos);
    mouse(w, QEvent::MouseButtonRelease, button, pos);
}
void key(QWidget& w, QEvent::Type type, int qtKey, const QString& text) {
    QKeyEvent e(type, qtKey, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &e);
}

QByteArray actions(std::initializer_list<char> codes) {
    QByteArray a;
    for (char c : codes) a.append(c);
    return a.append('\0');
}

// DoAction bytes for getURL(url, target).
QByteArray getUrlAction(const QByteArray& url) {
    BitWriter w;
    w.u8(0x83);
    w.u16(uint16_t(url.size() + 2));
    w.string(url);
    w.string("");
    w.u8(0);
    return w.data();
}

// Three frames at 60 fps on a 550 x 400 px stage; the last frame stops. A
// 100 px button at (100,100), grey when up, green under the pointer and blue
// while pressed, plays on release and on the 'p' key.
// useNetwork sets the file attribute that lets a local movie reach the network.
QByteArray stopAndButtonMovie(const QByteArray& frameOneActions = {}, bool useNetwork = false) {
    SwfBuilder b;
    if (useNetwork) b.tag(69, QByteArray("\x01\0\0\0", 4));
    b.setBackground({255, 255, 255, 255});
    b.defineRect(1, {0, 2000, 0, 2000}, {128, 128, 128, 255});
    b.defineRect(2, {0, 2000, 0, 2000}, {0, 0, 255, 255});
    b.defineRect(3, {0, 2000, 0, 2000}, {0, 255, 0, 255});
    BitWriter w;
    w.u16(10);
    w.u8(0);
    const QByteArray records = test::buttonStateRecords(1, 3, 2);
    w.u16(uint16_t(2 + records.size()));
    w.bytes(records);
    const QByteArray play = actions({actionPlay});
    w.u16(uint16_t(4 + play.size()));
    w.u8(uint8_t(swf::CondOverDownToOverUp >> 8));
    w.u8(0);
    w.bytes(play);
    w.u16(0);
    w.u8(0);
    w.u8(uint8_t('p' << 1));
    w.bytes(play);
    b.tag(34, w.data());
    Placement p;
    p.characterId = 10;
    p.matrix = swf::Matrix{1, 0, 0, 1, 2000, 2000};
    b.placeObject2(p);
    if (!frameOneActions.isEmpty()) b.doAction(frameOneActions);
    b.showFrame();
    b.showFrame();
    b.doAction(actions({actionStop}));
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 60, 3);
}

class FlashSurfaceInputTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FlashSurface s;

    void open(const QByteArray& movie) {
        const QString path = dir.filePath("input.swf");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(movie);
        f.close();
        s.resize(550, 400);
        s.show();
        s.activateWindow();
        ASSERT_TRUE(processEventsUntil([&] { return s.windowHandle() && s.windowHandle()->isExposed(); }));
        s.setMovie(path);
        ASSERT_EQ(s.TotalFrames(), 3);
    }

    // Waits for the movie's own stop() on its last frame.
    void waitForStop() {
        ASSERT_TRUE(processEventsUntil([&] { return !s.IsPlaying(); })) << "the movie never stopped itself";
        EXPECT_EQ(s.FrameNum(), 2);
    }
};

TEST_F(FlashSurfaceInputTest, StopOnTheLastFrameHoldsAcrossTicks) {
    open(stopAndButtonMovie());
    waitForStop();
    processEventsUntil([] { return false; }, 250);
    EXPECT_EQ(s.FrameNum(), 2);
    EXPECT_FALSE(s.IsPlaying());
}

TEST_F(FlashSurfaceInputTest, ClickingTheButtonPlaysAgain) {
    open(stopAndButtonMovie());
    waitForStop();
    const QPoint button(150, 150);
    moveTo(s, button);
    EXPECT_EQ(s.cursor().shape(), Qt::PointingHandCursor);
    mouse(s, QEvent::MouseButtonPress, Qt::LeftButton, button);
    EXPECT_EQ(s.grab().toImage().pixelColor(150, 150), QColor(0, 0, 255)) << "no down state";
    EXPECT_FALSE(s.IsPlaying()) << "pressing alone must not play";
    mouse(s, QEvent::MouseButtonRelease, Qt::LeftButton, button);
    EXPECT_TRUE(s.IsPlaying());
    EXPECT_TRUE(processEventsUntil([&] { return s.FrameNum() != 2; })) << "the movie did not move on";
    // It loops round to its stop() again.
    waitForStop();

    moveTo(s, QPoint(400, 300));
    EXPECT_NE(s.cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(FlashSurfaceInputTest, SecondClickOfADoubleClickPressesTheButtonToo) {
    open(stopAndButtonMovie());
    waitForStop();
    const QPoint button(150, 150);
    int doubles = 0;
    QObject::connect(&s, &FlashSurface::doubleClicked, [&] { ++doubles; });
    click(s, Qt::LeftButton, button);
    ASSERT_TRUE(s.IsPlaying());
    s.Stop();
    mouse(s, QEvent::MouseButtonDblClick, Qt::LeftButton, button);
    mouse(s, QEvent::MouseButtonRelease, Qt::LeftButton, button);
    EXPECT_TRUE(s.IsPlaying());
    EXPECT_EQ(doubles, 1);
}

TEST_F(FlashSurfaceInputTest, LeavingTheSurfaceRollsTheButtonOut) {
    open(stopAndButtonMovie());
    waitForStop();
    const QPoint button(150, 150);
    moveTo(s, button);
    mouse(s, QEvent::MouseButtonPress, Qt::LeftButton, button);
    ASSERT_EQ(s.grab().toImage().pixelColor(150, 150), QColor(0, 0, 255));
    mouse(s, QEvent::MouseButtonRelease, Qt::LeftButton, button);
    s.Stop();
    ASSERT_EQ(s.cursor().shape(), Qt::PointingHandCursor);
    ASSERT_EQ(s.grab().toImage().pixelColor(150, 150), QColor(0, 255, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&s, &leave);
    EXPECT_NE(s.cursor().shape(), Qt::PointingHandCursor);
    // Pressing again without coming back finds no button.
    mouse(s, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(-5, -5));
    mouse(s, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(-5, -5));
    EXPECT_FALSE(s.IsPlaying());
    EXPECT_EQ(s.grab().toImage().pixelColor(150, 150), QColor(128, 128, 128));
}

TEST_F(FlashSurfaceInputTest, ClickingBesideTheButtonDoesNothing) {
    open(stopAndButtonMovie());
    waitForStop();
    click(s, Qt::LeftButton, QPoint(400, 300));
    EXPECT_FALSE(s.IsPlaying());
    EXPECT_EQ(s.FrameNum(), 2);
}

TEST_F(FlashSurfaceInputTest, ScaledSurfaceMapsTheClickOntoTheStage) {
    open(stopAndButtonMovie());
    s.resize(1100, 800);
    waitForStop();
    // The button now covers 200..400 px; 150 is outside it.
    click(s, Qt::LeftButton, QPoint(150, 150));
    EXPECT_FALSE(s.IsPlaying());
    click(s, Qt::LeftButton, QPoint(300, 300));
    EXPECT_TRUE(s.IsPlaying());
}

TEST_F(FlashSurfaceInputTest, RightButtonStaysWithThePlayer) {
    open(stopAndButtonMovie());
    s.setMenu(false);
    waitForStop();
    int menus = 0;
    QObject::connect(&s, &FlashSurface::contextMenuRequested, [&] { ++menus; });
    click(s, Qt::RightButton, QPoint(150, 150));
    EXPECT_EQ(menus, 1);
    EXPECT_FALSE(s.IsPlaying());
}

TEST_F(FlashSurfaceInputTest, KeyPressConditionPlaysAndKeysAreHeld) {
    open(stopAndButtonMovie());
    waitForStop();
    key(s, QEvent::KeyPress, Qt::Key_Q, "q");
    key(s, QEvent::KeyRelease, Qt::Key_Q, "q");
    EXPECT_FALSE(s.IsPlaying()) << "only the button's own key plays";
    key(s, QEvent::KeyPress, Qt::Key_P, "p");
    EXPECT_TRUE(s.IsPlaying());
    EXPECT_TRUE(s.player().isKeyDown(80));
    EXPECT_EQ(s.player().lastKeyCode(), 80);
    key(s, QEvent::KeyRelease, Qt::Key_P, "p");
    EXPECT_FALSE(s.player().isKeyDown(80));
}

TEST_F(FlashSurfaceInputTest, GetUrlOpensOnlyWebAddresses) {
    std::vector<QUrl> opened;
    s.setUrlOpener([&](const QUrl& u) { opened.push_back(u); });
    open(stopAndButtonMovie(getUrlAction("https://example.org/a?b=1"), true));
    waitForStop();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("https://example.org/a?b=1"));

    // A local movie without the network attribute reads local files instead.
    opened.clear();
    open(stopAndButtonMovie(getUrlAction("https://example.org/a?b=1")));
    waitForStop();
    EXPECT_TRUE(opened.empty());

    opened.clear();
    open(stopAndButtonMovie(getUrlAction("javascript:alert(1)"), true));
    waitForStop();
    open(stopAndButtonMovie(getUrlAction("file:///etc/passwd"), true));
    waitForStop();
    EXPECT_TRUE(opened.empty());
}

TEST(FlashSurfaceUrls, OnlyHttpAndHttpsGoToTheBrowser) {
    EXPECT_TRUE(FlashSurface::opensInBrowser("http://example.org/"));
    EXPECT_TRUE(FlashSurface::opensInBrowser("HTTPS://example.org/x"));
    EXPECT_FALSE(FlashSurface::opensInBrowser("javascript:void(0)"));
    EXPECT_FALSE(FlashSurface::opensInBrowser("file:///etc/passwd"));
    EXPECT_FALSE(FlashSurface::opensInBrowser("mailto:a@example.org"));
    EXPECT_FALSE(FlashSurface::opensInBrowser("page.html"));
    EXPECT_FALSE(FlashSurface::opensInBrowser("http://"));
    EXPECT_FALSE(FlashSurface::opensInBrowser(""));
}

TEST(FlashKeyCodes, QtKeysMapToTheMovieCodes) {
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_A), 65);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Z), 90);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_0), 48);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_9), 57);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_0, true), 96);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Plus, true), 107);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Plus), 187);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Left), 37);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Up), 38);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Right), 39);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Down), 40);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Return), 13);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Enter, true), 13);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Space), 32);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Escape), 27);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Shift), 16);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_F1), 112);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_F12), 123);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Delete), 46);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Apostrophe), 222);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Exclam), 49);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_ParenRight), 48);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Asterisk), 56);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_Asterisk, true), 106);
    EXPECT_EQ(KeyCodes::fromQtKey(Qt::Key_VolumeUp), 0);
}

TEST(FlashKeyCodes, ButtonConditionsUseTheirOwnCodes) {
    EXPECT_EQ(KeyCodes::buttonCode(37, ""), 1);
    EXPECT_EQ(KeyCodes::buttonCode(39, ""), 2);
    EXPECT_EQ(KeyCodes::buttonCode(38, ""), 14);
    EXPECT_EQ(KeyCodes::buttonCode(40, ""), 15);
    EXPECT_EQ(KeyCodes::buttonCode(13, "\r"), 13);
    EXPECT_EQ(KeyCodes::buttonCode(9, "\t"), 18);
    EXPECT_EQ(KeyCodes::buttonCode(27, "\x1b"), 19);
    // Letters by what they type, so shift makes a different condition.
    EXPECT_EQ(KeyCodes::buttonCode(65, "a"), 'a');
    EXPECT_EQ(KeyCodes::buttonCode(65, "A"), 'A');
    EXPECT_EQ(KeyCodes::buttonCode(32, " "), 32);
    EXPECT_EQ(KeyCodes::buttonCode(16, ""), 0);
    EXPECT_EQ(KeyCodes::buttonCode(65, QString::fromUtf8("é")), 0);
}

// Key events as the script engine receives them.
class KeyLog : public display::ScriptEngine {
public:
    explicit KeyLog(std::vector<std::string>* l) : log(l) {}
    void clipEvent(display::DisplayObject* o, swf::ClipEvent e, int code) override {
        if (o->parent()) return;
        if (e == swf::ClipEventKeyDown) log->push_back("down " + std::to_string(code));
        if (e == swf::ClipEventKeyUp) log->push_back("up " + std::to_string(code));
    }
    void buttonActions(display::ButtonObject*, const QByteArray&) override { log->push_back("button"); }
    std::vector<std::string>* log;
};

TEST(MoviePlayerKeys, ClipsHearKeyDownAndUpButtonsTheirKey) {
    std::vector<std::string> log;
    MoviePlayer p;
    p.setScriptEngineFactory([&log] { return std::make_unique<KeyLog>(&log); });
    ASSERT_TRUE(p.loadData(stopAndButtonMovie()));
    log.clear();
    p.keyPress(81, "q");
    // A character's key-press condition takes the character the key typed.
    p.keyPress(80, "p");
    p.textInput(QStringLiteral("p"));
    p.keyRelease(80);
    EXPECT_FALSE(p.isKeyDown(80));
    EXPECT_TRUE(p.isKeyDown(81));
    const std::vector<std::string> want{"down 81", "down 80", "button", "up 80"};
    EXPECT_EQ(log, want);
    p.keyPress(0, "");
    EXPECT_EQ(log.size(), want.size()) << "keys the movie has no code for stay out";
}


void keyWith(QWidget& w, int qtKey, Qt::KeyboardModifiers mods, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(&w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(&w, &release);
}

TEST_F(FlashSurfaceInputTest, TypingEditingAndPastingReachTheFocusedInputField) {
    const QString path = dir.filePath("field.swf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(keymovies::inputFieldMovie());
    f.close();
    s.resize(550, 400);
    s.show();
    s.activateWindow();
    ASSERT_TRUE(processEventsUntil([&] { return s.windowHandle() && s.windowHandle()->isExposed(); }));
    s.setMovie(path);
    auto* field = dynamic_cast<display::EditTextObject*>(s.player().root()->childByName(QStringLiteral("field")));
    ASSERT_NE(field, nullptr);

    // Typing before the field has the focus goes nowhere.
    keyWith(s, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_EQ(field->text(), QString());

    click(s, Qt::LeftButton, QPoint(50, 20));
    for (const char* k : {"h", "i", "!"}) keyWith(s, 0, Qt::NoModifier, QString::fromLatin1(k));
    EXPECT_EQ(field->text(), QStringLiteral("hi!"));
    keyWith(s, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    keyWith(s, Qt::Key_Left, Qt::NoModifier);
    keyWith(s, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_EQ(field->text(), QStringLiteral("hai"));
    // Ctrl+letter is a shortcut, not a character.
    keyWith(s, Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    EXPECT_EQ(field->text(), QStringLiteral("hai"));

    // Copy and paste go through the desktop's clipboard.
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_NE(clipboard, nullptr);
    keyWith(s, Qt::Key_A, Qt::ControlModifier);
    keyWith(s, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("hai"));
    clipboard->setText(QStringLiteral("yo"));
    keyWith(s, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), QStringLiteral("yo"));

    // Text an input method commits arrives whole.
    QInputMethodEvent im;
    im.setCommitString(QStringLiteral("你好"));
    QApplication::sendEvent(&s, &im);
    EXPECT_EQ(field->text(), QStringLiteral("yo你好"));
}

} // namespace
