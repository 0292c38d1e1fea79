// The playlist panel in the main window: the move buttons at both ends, files
// dropped from a file manager, and the stored playlist across a restart.
#include "MainWindowFixture.h"
#include "library/ConverterPanel.h"
#include "player/FlashSurface.h"
#include "player/PlaylistPanel.h"
#include "player/QuickPlayList.h"
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

using nimbrel::player::PlaylistPanel;

namespace {

class MainWindowPlaylistPanelTest : public MainWindowFixture {
protected:
    static void fill(QListWidget& list, int count, const QList<int>& selected) {
        list.clear();
        for (int i = 0; i < count; ++i)
            list.addItem(QStringLiteral("e%1").arg(i));
        for (int i : selected)
            list.item(i)->setSelected(true);
    }
    static QStringList texts(const QListWidget& list) {
        QStringList out;
        for (int i = 0; i < list.count(); ++i)
            out << list.item(i)->text();
        return out;
    }
    static QList<int> selectedRows(const QListWidget& list) {
        QList<int> out;
        for (int i = 0; i < list.count(); ++i)
            if (list.item(i)->isSelected())
                out << i;
        return out;
    }
    // The popup item of the playlist menu named `name`.
    static QAction* item(PlaylistPanel& p, const char* name) {
        return p.MNUBFLBCZ->findChild<QAction*>(QString::fromUtf8(name));
    }
    // A fresh window over the same settings file, as after a restart.
    std::unique_ptr<nimbrel::player::frmmain> restart(std::unique_ptr<nimbrel::player::frmmain>& w) {
        w.reset();
        store = std::make_unique<nimbrel::platform::SettingsStore>(dir.path() + "/settings");
        return start();
    }
};

struct MoveCase {
    const char* name;
    bool up;
    QList<int> selected;
    QStringList after;
    QList<int> selectedAfter;
};

TEST_F(MainWindowPlaylistPanelTest, MoveButtonsFollowTheirRulesAtBothEnds) {
    auto w = start();
    PlaylistPanel& p = *w->playlist;
    const MoveCase cases[] = {
        {"up: a block moves as a block", true, {2, 3}, {"e0", "e2", "e3", "e1", "e4", "e5"}, {1, 2}},
        {"up: first selected, nothing moves", true, {0, 3}, {"e0", "e1", "e2", "e3", "e4", "e5"}, {0, 3}},
        {"up: the last entry", true, {5}, {"e0", "e1", "e2", "e3", "e5", "e4"}, {4}},
        {"down: only the first selected", false, {2, 5}, {"e0", "e1", "e3", "e2", "e4", "e5"}, {3, 5}},
        {"down: the last entry stays", false, {5}, {"e0", "e1", "e2", "e3", "e4", "e5"}, {5}},
        {"down: the first entry", false, {0}, {"e1", "e0", "e2", "e3", "e4", "e5"}, {1}},
        {"down: nothing selected", false, {}, {"e0", "e1", "e2", "e3", "e4", "e5"}, {}},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        fill(*p.bflblist, 6, c.selected);
        (c.up ? p.Command18 : p.Command19)->click();
        EXPECT_EQ(texts(*p.bflblist), c.after);
        EXPECT_EQ(selectedRows(*p.bflblist), c.selectedAfter);
    }
}

TEST_F(MainWindowPlaylistPanelTest, DroppedFilesEndingInLowerCaseSwfAreAppendedInOrder) {
    auto w = start();
    w->show();
    PlaylistPanel& p = *w->playlist;
    p.bflblist->addItem("/earlier.swf");
    const QString folder = dir.path() + "/drop/";
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder + "a.swf"), QUrl::fromLocalFile(folder + "b.SWF"),
                  QUrl::fromLocalFile(folder + "c.txt"), QUrl::fromLocalFile(folder + "a.swf")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(p.bflblist->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(p.bflblist->viewport(), &drop);
    EXPECT_EQ(texts(*p.bflblist), (QStringList{"/earlier.swf", folder + "a.swf", folder + "a.swf"}));

    // Data without files is ignored.
    QMimeData text;
    text.setText("a.swf");
    p.bflblist_OLEDragDrop(text);
    EXPECT_EQ(p.bflblist->count(), 3);
}

TEST_F(MainWindowPlaylistPanelTest, AStoredListSurvivesARestartAndReadsBackIntoThePanel) {
    const QStringList first = {dir.path() + "/one.swf", dir.path() + "/two.swf"};
    const QStringList second = {dir.path() + "/three.swf"};
    auto w = start();
    w->playlist->append(first);
    item(*w->playlist, "MNUBCDA")->trigger();

    w = restart(w);
    // Start-up fills the quick-play list only.
    EXPECT_EQ(w->bflblist->count(), 0);
    EXPECT_EQ(w->quickPlay->captions(), first);
    item(*w->playlist, "MNUDU")->trigger();
    EXPECT_EQ(texts(*w->bflblist), first);

    // Replacing stores the panel's list alone.
    w->bflblist->clear();
    w->playlist->append(second);
    item(*w->playlist, "MNUSCYQSY")->trigger();
    w = restart(w);
    item(*w->playlist, "MNUDU")->trigger();
    EXPECT_EQ(texts(*w->bflblist), second);
    EXPECT_TRUE(boxes.messages().isEmpty());
}

TEST_F(MainWindowPlaylistPanelTest, PreviewPlaysTheClickedEntryOrTellsThatItIsGone) {
    auto w = start();
    const QString movie = makeMovie("clip.swf", 5);
    w->playlist->append({movie, dir.path() + "/gone.swf"});
    w->bflblist->setCurrentRow(0);
    w->playlist->bflblist_Click();
    EXPECT_EQ(w->bflbflash->Movie(), movie);
    w->bflblist->setCurrentRow(1);
    w->playlist->bflblist_Click();
    EXPECT_EQ(w->bflbflash->Movie(), movie);
    ASSERT_EQ(messageTexts(), QStringList{"该文件不存在"});
    EXPECT_EQ(boxes.messages().last().title, "Quorvane FlashPlayer");
}

TEST_F(MainWindowPlaylistPanelTest, HandOversFillTheConverterAndTheQuickPlayList) {
    auto w = start();
    const QString movie = makeMovie("clip.swf", 5);
    w->playlist->append({movie, "/b.swf"});
    item(*w->playlist, "mnuswftoexe")->trigger();
    EXPECT_EQ(w->currentPanel(), 3);
    EXPECT_EQ(w->converter->entries(), (QStringList{"/b.swf", movie}));
    EXPECT_EQ(w->bflblist->count(), 2);
    item(*w->playlist, "mnukj")->trigger();
    EXPECT_EQ(w->quickPlay->captions(), (QStringList{movie, "/b.swf"}));
    EXPECT_EQ(w->flash->Movie(), movie);
    EXPECT_EQ(w->currentPanel(), 0);
}

} // namespace
