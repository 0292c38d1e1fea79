// The converter panel inside the main window: placed by the layout, scrolled by
// its bar, remembering its folder in the settings, and the player opening what
// it wrote.
#include "MainWindowFixture.h"
#include "library/ConverterPanel.h"
#include "platform/ScriptedFolderOpener.h"
#include "platform/Twips.h"
#include "player/FlashSurface.h"
#include "skin/SkinElements.h"
#include <QDir>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

using nimbrel::library::ConverterPanel;
using nimbrel::library::ProjectorWriter;

namespace {
class MainWindowConverterTest : public MainWindowFixture {};
}

TEST_F(MainWindowConverterTest, TabThreeShowsThePanelItsControlsPlacedByTheLayout) {
    auto w = start();
    w->show();
    ConverterPanel& c = *w->converter;
    EXPECT_EQ(c.convert->parentWidget(), w->convertframe);
    w->selectPanel(3);
    EXPECT_TRUE(w->convertframe->isVisible());
    EXPECT_FALSE(w->flash->isVisible());

    // Bottom up: the progress frame at the panel's foot, the scroll bar above it,
    // the list between the button and the bar.
    EXPECT_EQ(c.Picture1->geometry().bottom() + 1, w->convertframe->height());
    EXPECT_EQ(c.Picture1->width(), w->convertframe->width());
    EXPECT_NEAR(c.huakuai3->geometry().bottom() + 1, c.Picture1->y(), 1);
    EXPECT_GT(c.convert->y(), c.Command5->geometry().bottom());
    const auto& r = w->skin->layout();
    EXPECT_EQ(r.convert.top, r.Command5.height + 50);
    EXPECT_EQ(r.convert.height, r.huakuai3.top - r.Command5.height - 20);

    c.huakuai3->setValue(10);
    EXPECT_EQ(w->skin->layout().convert.left, -1000);
    EXPECT_LT(c.convert->x(), 0);
    EXPECT_NEAR(c.convert->geometry().right() + 1, w->convertframe->width(), 1);
}

TEST_F(MainWindowConverterTest, AConversionRemembersItsFolderAndThePlayerOpensTheProgram) {
    auto w = start();
    ConverterPanel& c = *w->converter;
    nimbrel::platform::ScriptedFolderOpener opener;
    c.setFolderOpener(&opener);
    c.setStubPath(makeFile("stub", 3000));
    const QString movie = makeMovie("clip.swf", 7);
    QDir().mkpath(dir.path() + "/out");
    c.addFiles({movie});

    bool finished = false;
    QObject::connect(&c, &ConverterPanel::conversionFinished, [&] { finished = true; });
    dialogs.answerFiles({dir.path() + "/out/" + ConverterPanel::kFolderPickerName});
    c.MNUZHUAN_Click();
    ASSERT_TRUE(waitFor([&] { return finished; }, 20000));
    EXPECT_EQ(setting("filepath2"), dir.path() + "/out/");
    ASSERT_FALSE(boxes.messages().isEmpty());
    EXPECT_EQ(boxes.messages().last().text, "转换完成");

    c.MNULL_Click();
    EXPECT_EQ(opener.requests(), QStringList{dir.path() + "/out/"});

    w->flash->setMovie(dir.path() + "/out/clip.exe");
    EXPECT_EQ(w->flash->TotalFrames(), 7);
    EXPECT_TRUE(w->flash->IsPlaying());
}
