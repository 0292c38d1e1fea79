// The search panel in the main window: the inputs' messages, a search stopped
// through its own button keeping and filtering what it found, the results' copy
// report, and the hand-over of the results to the playlist.
#include "../library/SearchTree.h"
#include "MainWindowFixture.h"
#include "library/FileSearch.h"
#include "library/SearchResultsModel.h"
#include "platform/ScriptedFolderOpener.h"
#include "player/PlaylistPanel.h"
#include "player/SearchPanel.h"
#include "player/SearchResultsPanel.h"
#include "player/FlashSurface.h"
#include "skin/SkinElements.h"
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using nimbrel::librarytest::SearchTree;
using nimbrel::player::SearchPanel;
using nimbrel::player::SearchResultsPanel;

namespace {

class MainWindowSearchPanelTest : public MainWindowFixture {
protected:
    struct Ended {
        bool done = false;
        bool stopped = false;
    };
    // Clicks the search button and waits for the search to end.
    Ended searchAndWait(nimbrel::player::frmmain& w, const std::function<void()>& onFirstBatch = {}) {
        Ended ended;
        SearchPanel& s = *w.search;
        bool first = true;
        auto f = QObject::connect(&s.search(), &nimbrel::library::FileSearch::found, [&] {
            if (first && onFirstBatch)
                onFirstBatch();
            first = false;
        });
        auto e = QObject::connect(&s, &SearchPanel::searchFinished, [&](bool stopped) {
            ended.done = true;
            ended.stopped = stopped;
        });
        s.Command1->click();
        waitFor([&] { return ended.done; }, 20000);
        QObject::disconnect(f);
        QObject::disconnect(e);
        return ended;
    }
    static QAction* item(SearchResultsPanel& r, const char* name) {
        return r.mnusearch->findChild<QAction*>(QString::fromUtf8(name));
    }
};

TEST_F(MainWindowSearchPanelTest, InputsAreCheckedInOrderAndTheSummariesFollowThem) {
    auto w = start();
    SearchPanel& s = *w->search;
    struct Case {
        const char* folder;
        const char* date;
        const char* size;
        const char* message;
    } cases[] = {
        {"", "2006070800", "大于", "请选择路径"},
        {"/tmp/", "200607080", "大于", "请把搜索 日期 + 时间 填写完整"},
        {"/tmp/", "2006070800", "", "请把文件大小填写完整"},
    };
    for (const Case& c : cases) {
        s.Command9->click();
        s.Text3->setText(QString::fromUtf8(c.folder));
        s.dateandhoretext->setText(QString::fromUtf8(c.date));
        s.filesize->setCurrentText(QString::fromUtf8(c.size));
        s.Command1->click();
        EXPECT_EQ(messageTexts().last(), QString::fromUtf8(c.message));
        EXPECT_FALSE(s.searchsettings->isVisible()) << "the options close on every click";
        EXPECT_FALSE(s.search().isRunning());
    }
    s.dateandhore->setCurrentText("指定");
    s.dateandhoretext->setText("2007090915");
    EXPECT_EQ(s.Label9->text(), "你选择的是：指定日期：20070909时间：15点");
    s.filesize->setCurrentText("小于");
    s.filesizetext->setText("12");
    EXPECT_EQ(s.Label11->text(), "你选择的是：小于12KB");
}

TEST_F(MainWindowSearchPanelTest, TheSameButtonStopsASearchWhichKeepsAndFiltersWhatItFound) {
    SearchTree tree;
    for (int i = 0; i < 1500; ++i)
        tree.file(QStringLiteral("d%1/m%1.swf").arg(i), i % 2 ? 600 : 100);
    auto w = start();
    SearchPanel& s = *w->search;
    s.search().setBatching(1, 0);
    s.Text3->setText(tree.root());
    QStringList streamed;
    QObject::connect(&s.search(), &nimbrel::library::FileSearch::found,
                     [&](const QStringList& batch) { streamed += batch; });
    QString captionWhileRunning;
    const Ended ended = searchAndWait(*w, [&] {
        captionWhileRunning = s.Command1->text();
        s.Command1->click();
    });
    ASSERT_TRUE(ended.done);
    ASSERT_TRUE(ended.stopped) << "the walk ended before the stop arrived";
    EXPECT_EQ(captionWhileRunning, "停止");
    EXPECT_EQ(s.Command1->text(), "搜索");
    ASSERT_FALSE(streamed.isEmpty());
    EXPECT_LT(streamed.size(), 1500);
    QStringList expected; // 100 bytes is 0 KB, not above the default 0
    for (const QString& p : streamed)
        if (QFileInfo(p).size() == 600)
            expected << p;
    EXPECT_EQ(w->searchResults->entries(), nimbrel::library::SearchResultsModel::sorted(expected));
}

TEST_F(MainWindowSearchPanelTest, TheCopyReportNamesTheCopyThatFailedInsteadOfCountingIt) {
    SearchTree tree;
    tree.file("a.swf").file("b.swf").file("c.swf").file("sub/a.swf", 700).folder("out");
    auto w = start();
    SearchResultsPanel& r = *w->searchResults;
    w->search->Text3->setText(tree.root());
    ASSERT_TRUE(searchAndWait(*w).done);
    ASSERT_EQ(r.entries().size(), 4);
    QFile::remove(tree.path("b.swf"));
    item(r, "mnuquanx")->trigger();

    dialogs.answerFiles({tree.path("out/不需要点击任何文件.swf")});
    item(r, "MNUSAVEW")->trigger();
    EXPECT_TRUE(QFile::exists(tree.path("out/a.swf")));
    EXPECT_TRUE(QFile::exists(tree.path("out/c.swf")));
    EXPECT_EQ(setting("filepath"), tree.path("out/"));
    const QStringList lines = messageTexts().last().split('\n');
    // The vanished file and the second file named a.swf are told, not counted.
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "拷贝2个文件完成");
    EXPECT_EQ(lines[1], "2个文件未能拷贝：");
    EXPECT_TRUE(lines[2].startsWith(tree.path("b.swf") + "：")) << qPrintable(lines[2]);
    EXPECT_GT(lines[2].size(), tree.path("b.swf").size() + 1) << "the reason is given";
    EXPECT_EQ(lines[3], tree.path("sub/a.swf") + "：与本次拷贝的另一个文件同名");
    EXPECT_EQ(QFileInfo(tree.path("out/a.swf")).size(), QFileInfo(tree.path("a.swf")).size());

    // A cancelled folder dialog copies and tells nothing.
    const int told = boxes.messages().size();
    item(r, "MNUSAVEW")->trigger();
    EXPECT_EQ(boxes.messages().size(), told);

    nimbrel::platform::ScriptedFolderOpener opener;
    r.setFolderOpener(&opener);
    item(r, "MNULLBCH")->trigger();
    EXPECT_EQ(opener.requests(), QStringList{tree.path("out/")});
}

TEST_F(MainWindowSearchPanelTest, ResultsGoToThePlaylistOnlyFromAMovieSearch) {
    SearchTree tree;
    tree.file("a.swf").file("b.swf");
    auto w = start();
    SearchResultsPanel& r = *w->searchResults;
    w->search->Text3->setText(tree.root());
    ASSERT_TRUE(searchAndWait(*w).done);
    const QStringList found = r.entries();
    ASSERT_EQ(found.size(), 2);

    w->search->oimage->click();
    item(r, "MNUTJBFLB")->trigger();
    item(r, "MNUSTE")->trigger();
    EXPECT_EQ(messageTexts(), (QStringList{"图象文件不能进行播放", "图象文件不能进行转换"}));
    EXPECT_EQ(r.entries(), found);

    w->search->oflash->click();
    w->selectPanel(2);
    item(r, "MNUTJBFLB")->trigger();
    EXPECT_TRUE(r.entries().isEmpty());
    EXPECT_EQ(w->playlist->entries(), found);
    EXPECT_EQ(w->currentPanel(), 1);
}

TEST_F(MainWindowSearchPanelTest, TheResultListIsPlacedByTheLayoutAndSlidesWithItsBar) {
    auto w = start();
    w->show();
    w->selectPanel(2);
    SearchResultsPanel& r = *w->searchResults;
    const auto& layout = w->skin->layout();
    EXPECT_EQ(layout.lsearch.height, layout.huakuaione.top - 580);
    EXPECT_EQ(r.lsearch->parentWidget(), w->zhss);
    r.huakuaione->setValue(10);
    EXPECT_EQ(w->skin->layout().lsearch.left, -1000);
    EXPECT_EQ(w->skin->layout().lsearch.width, 6895);
    w->playlist->huakuai2->setValue(10);
    EXPECT_EQ(w->skin->layout().bflblist.left, -1000);
    EXPECT_EQ(w->skin->layout().bflblist.width, 5215);
}

} // namespace

TEST_F(MainWindowSearchPanelTest, AClickedResultPreviewsMoviesAndPicturesAndTheDeleteKeyRemovesResults) {
    auto w = start();
    w->selectPanel(2);
    SearchResultsPanel& r = *w->searchResults;
    const QString movie = makeMovie("clip.swf", 4);
    const QString upper = makeMovie("CLIP2.SWF", 4);
    const QString picture = dir.path() + "/pic.bmp";
    QImage(8, 6, QImage::Format_RGB32).save(picture);
    r.results().replace({movie, upper, picture, dir.path() + "/gone.swf"});
    struct Case {
        int row;
        QString flashMovie;   // what flash2 holds afterwards
        QSize pictureSize;    // what yulanp shows afterwards
        int messages;
    } cases[] = {
        {0, movie, {}, 0},
        {2, movie, {8, 6}, 0},
        // Upper-case SWF is taken for a picture: nothing new is shown.
        {1, movie, {8, 6}, 0},
        {3, movie, {8, 6}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        r.lsearch->setCurrentIndex(r.results().index(c.row));
        r.lsearch_Click();
        EXPECT_EQ(w->flash2->Movie(), c.flashMovie);
        EXPECT_EQ(r.yulanp->pixmap().size(), c.pictureSize.isValid() ? c.pictureSize : r.yulanp->pixmap().size());
        EXPECT_EQ(boxes.messages().size(), c.messages);
    }
    EXPECT_EQ(messageTexts(), QStringList{"该文件不存在"});

    r.lsearch->clearSelection();
    r.lsearch->selectionModel()->select(r.results().index(1), QItemSelectionModel::Select);
    w->deleteVisibleListLines();
    EXPECT_EQ(r.entries(), (QStringList{movie, picture, dir.path() + "/gone.swf"}));
}
