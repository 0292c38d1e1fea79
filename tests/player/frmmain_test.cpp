// Start-up and shutdown of the main window against a throw-away store.
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/ScriptedMixer.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "player/AppSettings.h"
#include "player/FlashSurface.h"
#include "player/VolumeControl.h"
#include "player/frmmain.h"
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using nimbrel::platform::SettingsStore;
using nimbrel::platform::Twips;
using nimbrel::player::frmmain;

namespace {

QString AppSettingsText(double twips) { return nimbrel::player::AppSettings::twipsText(twips); }

class FrmmainTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store = std::make_unique<SettingsStore>(dir.path());
    nimbrel::platform::ScriptedDialogBackend dialogs;
    nimbrel::platform::ScriptedMessageBoxes boxes;
    nimbrel::platform::ScriptedMixer mixer;

    void put(const char* key, const QString& value) { store->setValue("Nimbrel", "bfsz", key, value); }
    QString get(const char* key) const { return store->value("Nimbrel", "bfsz", key); }
    std::unique_ptr<frmmain> start() { return std::make_unique<frmmain>(*store, dialogs, boxes, &mixer); }
    QStringList checkedFitItems(const frmmain& w) const {
        QStringList names;
        if (w.mnuszck->isChecked()) names << "mnuszck";
        if (w.mnuchang->isChecked()) names << "mnuchang";
        if (w.mnuchanggao->isChecked()) names << "mnuchanggao";
        return names;
    }
    static int px(double twips, const QWidget& w) { return Twips::toPixels(twips, Twips::dpiX(&w)); }
    static int py(double twips, const QWidget& w) { return Twips::toPixels(twips, Twips::dpiY(&w)); }
    static QRect designRect(const QWidget& w) {
        return QRect(px(frmmain::DesignLeft, w), py(frmmain::DesignTop, w),
                     px(frmmain::DesignWidth, w), py(frmmain::DesignHeight, w));
    }
    static QRect rectOf(const QWidget& w) { return QRect(w.pos(), w.size()); }
};

TEST_F(FrmmainTest, FirstStartWritesFirstRunValuesAndKeepsTheDesign) {
    auto w = start();
    EXPECT_EQ(get("bfms"), "0");
    EXPECT_EQ(get("ncjc"), "false");
    EXPECT_EQ(get("tmd"), "false");
    EXPECT_EQ(get("zdbf"), "false");
    EXPECT_EQ(get("mleft"), "");
    EXPECT_TRUE(checkedFitItems(*w).isEmpty());
    EXPECT_EQ(rectOf(*w), designRect(*w));
    EXPECT_EQ(w->windowTitle(), "QuorvaneFlashPlayer 1.5.0");
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);
    EXPECT_FALSE(w->state().layered);
    EXPECT_FALSE(w->state().autoPlay);
    EXPECT_FALSE(w->state().clipboardWatch);
    EXPECT_EQ(w->Label2[0]->text(), QStringLiteral("自动播放"));
    EXPECT_EQ(w->Label2[1]->text(), QStringLiteral("内存监控"));
    EXPECT_EQ(w->Label2[2]->text(), QStringLiteral("窗口置顶"));
    EXPECT_EQ(w->Label2[3]->text(), QStringLiteral("播放模式 +"));
}

TEST_F(FrmmainTest, LoadPreparesTheWindowState) {
    auto w = start();
    EXPECT_FALSE(w->flash->Menu());
    EXPECT_EQ(w->volume->level(), 30000);
    EXPECT_TRUE(w->state().windowActive);
    EXPECT_EQ(w->state().lastFrameNum, 0);
    EXPECT_EQ(w->currentPanel(), 0);
    EXPECT_EQ(w->resizeMode(), 0);
    EXPECT_EQ(w->menuBarCounter(), 0);
    EXPECT_EQ(w->state().highlightLabelColour, QColor(255, 255, 255));
    EXPECT_EQ(w->state().normalLabelColour, QApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(w->Timer1.interval(), 1000);
    EXPECT_EQ(w->Timer2.interval(), 11);
    EXPECT_EQ(w->Timer3.interval(), 100);
    EXPECT_TRUE(w->Timer1.isActive() && w->Timer2.isActive() && w->Timer3.isActive());
    EXPECT_EQ(w->mnuchang->text(), QStringLiteral("长保持比例"));
}

TEST_F(FrmmainTest, FitModeRestoredAndChecked) {
    struct Case { const char* stored; int scaleMode; QStringList checked; };
    const Case cases[] = {
        {"0", 0, {"mnuszck"}},
        {"1", 1, {"mnuchang"}},
        {"2", 2, {"mnuchanggao"}},
        {"7", 0, {}},  // anything else checks nothing and leaves the designed mode
    };
    for (const Case& c : cases) {
        put("bfms", c.stored);
        auto w = start();
        EXPECT_EQ(w->flash->ScaleMode(), c.scaleMode) << c.stored;
        EXPECT_EQ(checkedFitItems(*w), c.checked) << c.stored;
        EXPECT_EQ(get("bfms"), c.stored);
    }
}

TEST_F(FrmmainTest, StoredOpacityMakesTheWindowSeeThrough) {
    put("tmd", "128");
    auto w = start();
    EXPECT_NEAR(w->windowOpacity(), 128 / 255.0, 0.005);
    EXPECT_TRUE(w->state().layered);
    EXPECT_EQ(w->state().alpha, 128);
    EXPECT_EQ(get("tmd"), "128");
}

TEST_F(FrmmainTest, OpacityThatIsNotAnAlphaIsIgnored) {
    for (const char* bad : {"abc", "300", "-1", "12.5"}) {
        put("tmd", bad);
        auto w = start();
        EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0) << bad;
        EXPECT_FALSE(w->state().layered) << bad;
        EXPECT_EQ(w->state().alpha, 0) << bad;
        // The user's text is not thrown away.
        EXPECT_EQ(get("tmd"), bad);
    }
    put("tmd", "false");
    auto w = start();
    EXPECT_DOUBLE_EQ(w->windowOpacity(), 1.0);
    EXPECT_EQ(get("tmd"), "false");
}

TEST_F(FrmmainTest, OptionsRestoreFlagsAndStripCaptions) {
    put("ncjc", "true");
    put("zdbf", "true");
    {
        auto w = start();
        EXPECT_TRUE(w->state().clipboardWatch);
        EXPECT_TRUE(w->state().autoPlay);
        EXPECT_EQ(w->Label2[1]->text(), QStringLiteral("取消内存监控"));
        EXPECT_EQ(w->Label2[0]->text(), QStringLiteral("取消自动播放"));
    }
    put("ncjc", "maybe");
    put("zdbf", "yes");
    {
        auto w = start();
        EXPECT_FALSE(w->state().clipboardWatch);
        EXPECT_FALSE(w->state().autoPlay);
        EXPECT_EQ(w->Label2[1]->text(), QStringLiteral("内存监控"));
        EXPECT_EQ(w->Label2[0]->text(), QStringLiteral("自动播放"));
        EXPECT_EQ(get("ncjc"), "maybe");
        EXPECT_EQ(get("zdbf"), "yes");
    }
}

TEST_F(FrmmainTest, StoredGeometryIsRestored) {
    put("mleft", "3000");
    put("mtop", "1500.4");
    put("mwidth", "12000");
    put("mheight", "9000");
    auto w = start();
    EXPECT_EQ(rectOf(*w), QRect(px(3000, *w), py(1500, *w), px(12000, *w), py(9000, *w)));
}

TEST_F(FrmmainTest, BadGeometryValuesKeepTheirDesignValues) {
    put("mleft", "abc");
    put("mtop", "1500");
    put("mwidth", "-100");
    put("mheight", "9000");
    auto w = start();
    const QRect design = designRect(*w);
    EXPECT_EQ(w->pos().x(), design.x());
    EXPECT_EQ(w->pos().y(), py(1500, *w));
    EXPECT_EQ(w->width(), design.width());
    EXPECT_EQ(w->height(), py(9000, *w));
    // The rest of the settings are restored as usual.
    EXPECT_EQ(get("bfms"), "0");
    EXPECT_EQ(get("tmd"), "false");
}

TEST_F(FrmmainTest, MissingGeometryKeysKeepTheirDesignValues) {
    put("mleft", "4500");
    put("mwidth", "nan");
    auto w = start();
    const QRect design = designRect(*w);
    EXPECT_EQ(rectOf(*w), QRect(px(4500, *w), design.y(), design.width(), design.height()));
}

TEST_F(FrmmainTest, PlaceOnNoScreenFallsBackToTheDesignPosition) {
    put("mleft", "90000000");
    put("mtop", "-90000000");
    put("mwidth", "12000");
    put("mheight", "9000");
    auto w = start();
    const QRect design = designRect(*w);
    EXPECT_EQ(rectOf(*w), QRect(design.topLeft(), QSize(px(12000, *w), py(9000, *w))));
}

TEST_F(FrmmainTest, WithoutLeftNoGeometryIsRestored) {
    put("mtop", "1500");
    put("mwidth", "12000");
    put("mheight", "9000");
    auto w = start();
    EXPECT_EQ(rectOf(*w), designRect(*w));
}

TEST_F(FrmmainTest, ClosingStoresTheGeometryInTwips) {
    auto w = start();
    w->move(px(4500, *w), py(1200, *w));
    w->resize(px(12000, *w), py(7500, *w));
    w->show();
    w->activateWindow();
    w->move(px(4500, *w), py(1200, *w));
    QApplication::processEvents();
    const QPoint at = w->pos();
    const QSize size = w->size();
    int unloads = 0;
    QObject::connect(w.get(), &frmmain::unloaded, [&] { ++unloads; });
    EXPECT_TRUE(w->close());
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(get("mleft"), AppSettingsText(at.x() * Twips::perPixel(Twips::dpiX(w.get()))));
    EXPECT_EQ(get("mtop"), AppSettingsText(at.y() * Twips::perPixel(Twips::dpiY(w.get()))));
    EXPECT_EQ(get("mwidth"), AppSettingsText(size.width() * Twips::perPixel(Twips::dpiX(w.get()))));
    EXPECT_EQ(get("mheight"), AppSettingsText(size.height() * Twips::perPixel(Twips::dpiY(w.get()))));
}

TEST_F(FrmmainTest, GeometrySurvivesARestart) {
    QRect before;
    {
        auto w = start();
        w->move(px(6000, *w), py(3000, *w));
        w->resize(px(9000, *w), py(6000, *w));
        before = rectOf(*w);
        w->close();
    }
    auto again = start();
    EXPECT_EQ(rectOf(*again), before);
}

TEST_F(FrmmainTest, EmptyStoreStartAndCloseLeavesFirstRunKeysAndGeometry) {
    {
        auto w = start();
        w->show();
        w->activateWindow();
        QApplication::processEvents();
        w->close();
    }
    QSet<QString> keys;
    for (const auto& pair : store->section("Nimbrel", "bfsz"))
        keys << pair.first.toLower();
    EXPECT_EQ(keys, (QSet<QString>{"bfms", "ncjc", "tmd", "zdbf", "mleft", "mtop", "mwidth", "mheight"}));
    EXPECT_TRUE(store->section("Nimbrel", "bflb").isEmpty());
}

TEST_F(FrmmainTest, ValuesStoredInAnotherLetterCaseAreFound) {
    store->setValue("NIMBREL", "BFSZ", "BFMS", "1");
    store->setValue("nimbrel", "Bfsz", "Tmd", "200");
    auto w = start();
    EXPECT_EQ(checkedFitItems(*w), QStringList{"mnuchang"});
    EXPECT_EQ(w->state().alpha, 200);
}

TEST_F(FrmmainTest, SharedDialogIsReachedThroughTheWindow) {
    auto w = start();
    w->Dialog().setFilter(QStringLiteral("所有文件 (*.swf)|*.swf"));
    dialogs.answerFiles({"/m/a.swf"});
    w->Dialog().ShowOpen();
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(dialogs.fileRequests()[0].owner, w.get());
    EXPECT_EQ(w->Dialog().FileName(), "/m/a.swf");
    EXPECT_EQ(w->boxes().owner(), w.get());
}

} // namespace
