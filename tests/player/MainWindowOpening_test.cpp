// Opening files and addresses through the real main window, with scripted dialogs
// and boxes and a progress view that only records.
#include "MainWindowFixture.h"
#include "player/DownloadProgress.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/OpeningController.h"
#include "player/QuickPlayList.h"
#include "player/QuickPlayMenu.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>

using nimbrel::platform::CommonDialog;
using nimbrel::platform::MessageBoxes;
using nimbrel::player::DownloadProgress;
using nimbrel::player::OpeningController;
using nimbrel::services::Downloader;

namespace {

class RecordingProgress : public DownloadProgress {
public:
    explicit RecordingProgress(bool cancelAtFirstUpdate) : cancelAtFirstUpdate_(cancelAtFirstUpdate) {}
    void start(const QString& address, const QString& target) override {
        started = address + " -> " + target;
    }
    void update(qint64 received, qint64 total, qint64) override {
        lastReceived = received;
        lastTotal = total;
        ++updates;
        if (cancelAtFirstUpdate_ && updates == 1)
            emit cancelRequested();
    }
    void close() override { closed = true; }

    static inline QString started;
    static inline qint64 lastReceived = 0;
    static inline qint64 lastTotal = 0;
    static inline int updates = 0;
    static inline bool closed = false;

private:
    bool cancelAtFirstUpdate_;
};

class MainWindowOpeningTest : public MainWindowFixture {
protected:
    void SetUp() override {
        RecordingProgress::started.clear();
        RecordingProgress::updates = 0;
        RecordingProgress::closed = false;
    }
    void recordProgress(nimbrel::player::frmmain& w, bool cancel = false) {
        w.opening->setProgressFactory([cancel](QWidget*) { return new RecordingProgress(cancel); });
    }
    std::optional<std::pair<Downloader::Result, QString>> finishedDownload(nimbrel::player::frmmain& w) {
        std::optional<std::pair<Downloader::Result, QString>> out;
        QObject::connect(w.opening, &OpeningController::downloadFinished,
                         [&out](Downloader::Result r, const QString& t) { out = std::make_pair(r, t); });
        waitFor([&] { return out.has_value(); });
        return out;
    }
};

TEST_F(MainWindowOpeningTest, OneFilePlaysWithoutAskingAndLeavesTheListAlone) {
    storePlaylist({"/m/a.swf", "/m/b.swf"});
    auto w = start();
    dialogs.answerFiles({"/films/one.swf"});
    w->menus->MNUOPEN->trigger();

    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    const auto& request = dialogs.fileRequests()[0];
    EXPECT_EQ(request.kind, nimbrel::platform::FileDialogKind::Open);
    EXPECT_EQ(request.title, QStringLiteral("打开(一次可以打开多个文件)"));
    // Nothing opened before: the home folder, not the program's own.
    EXPECT_EQ(request.initDir, QDir::homePath());
    EXPECT_EQ(request.filter, QStringLiteral("所有文件 (*.swf)|*.swf"));
    EXPECT_EQ(request.flags, 0x80200u);
    EXPECT_EQ(w->Dialog().MaxFileSize(), 32767);

    EXPECT_EQ(w->flash->Movie(), "/films/one.swf");
    EXPECT_TRUE(boxes.messages().isEmpty());
    EXPECT_EQ(w->quickPlay->captions(), (QStringList{"/m/a.swf", "/m/b.swf"}));

    // Cancelling changes nothing.
    dialogs.answerCancel();
    w->menus->MNUOPEN->trigger();
    EXPECT_EQ(w->flash->Movie(), "/films/one.swf");
    EXPECT_TRUE(boxes.messages().isEmpty());
}

TEST_F(MainWindowOpeningTest, SeveralFilesNotAddedPlayTheFirstAsTheCheckedEntry) {
    storePlaylist({"/m/1.swf", "/m/2.swf", "/m/3.swf", "/m/4.swf", "/m/5.swf"});
    auto w = start();
    dialogs.answerFiles({"/f/x.swf", "/f/y.swf", "/f/z.swf"});
    boxes.queueAnswer(MessageBoxes::Answer::No);
    w->menus->MNUOPEN->trigger();

    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("是否添加到播放列表"));
    EXPECT_EQ(boxes.messages()[0].title, QStringLiteral("添加"));
    EXPECT_EQ(boxes.messages()[0].buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(boxes.messages()[0].icon, MessageBoxes::Icon::Information);
    EXPECT_EQ(w->quickPlay->captions(), (QStringList{"/f/x.swf", "/f/y.swf", "/f/z.swf"}));
    ASSERT_EQ(w->quickPlayMenu->count(), 3);
    EXPECT_EQ(w->quickPlayMenu->entry(3)->text(), "/f/z.swf");
    EXPECT_TRUE(w->quickPlayMenu->entry(1)->isChecked());
    EXPECT_FALSE(w->quickPlayMenu->entry(2)->isChecked());
    EXPECT_EQ(w->quickPlay->current(), 1);
    EXPECT_EQ(w->flash->Movie(), "/f/x.swf");
    EXPECT_EQ(w->bflblist->count(), 0);
    EXPECT_EQ(w->currentPanel(), 0);
}

TEST_F(MainWindowOpeningTest, SeveralFilesAddedFillThePlaylistPanelAndShowIt) {
    storePlaylist({"/m/1.swf"});
    auto w = start();
    w->show();
    w->flash->setMovie("/playing.swf");
    w->bflblist->addItem("/old.swf");
    dialogs.answerFiles({"/f/x.swf", "/f/y.swf"});
    boxes.queueAnswer(MessageBoxes::Answer::Yes);
    w->menus->MNUOPEN->trigger();

    QStringList lines;
    for (int i = 0; i < w->bflblist->count(); ++i)
        lines << w->bflblist->item(i)->text();
    EXPECT_EQ(lines, (QStringList{"/f/x.swf", "/f/y.swf"}));
    EXPECT_EQ(w->quickPlay->captions(), (QStringList{"/f/x.swf", "/f/y.swf"}));
    EXPECT_EQ(w->currentPanel(), 1);
    EXPECT_TRUE(w->bflb->isVisible());
    EXPECT_TRUE(w->flash->isHidden());
    EXPECT_TRUE(w->zhss->isHidden());
    // Nothing plays and nothing is checked; the movie that was on goes on.
    EXPECT_EQ(w->flash->Movie(), "/playing.swf");
    EXPECT_EQ(w->quickPlay->current(), 0);
    EXPECT_FALSE(w->quickPlayMenu->entry(1)->isChecked());
    // Not saved by opening.
    EXPECT_EQ(nimbrel::library::PlaylistStore(*store).read(), QStringList{"/m/1.swf"});
}

TEST_F(MainWindowOpeningTest, TwoCorpusMoviesStepFromTheFirstToTheLast) {
    const QString first = corpusMovie("avm1/goto_frame2/test.swf");
    const QString second = corpusMovie("from_gnash/misc-ming.all/matrix_test/test.swf");
    const QString other = second.isEmpty() ? corpusMovie("visual/video/deblocking/test.swf") : second;
    if (first.isEmpty() || other.isEmpty())
        GTEST_SKIP() << "corpus movies not present";
    auto w = start();
    dialogs.answerFiles({first, other});
    boxes.queueAnswer(MessageBoxes::Answer::No);
    w->menus->MNUOPEN->trigger();
    EXPECT_EQ(w->flash->Movie(), first);
    EXPECT_GT(w->flash->TotalFrames(), 1);
    EXPECT_TRUE(w->skin->Image5[5]->isEnabled());

    w->Image5_Click(5);
    EXPECT_EQ(w->flash->Movie(), other);
    EXPECT_FALSE(w->skin->Image5[5]->isEnabled());
    EXPECT_TRUE(w->quickPlayMenu->entry(2)->isChecked());
    EXPECT_FALSE(w->quickPlayMenu->entry(1)->isChecked());
}

TEST_F(MainWindowOpeningTest, AnAddressPlaysAsTypedAndOffersTheDownload) {
    auto w = start();
    boxes.queueInputCancel();
    w->menus->MNUOPENURL->trigger();
    EXPECT_TRUE(w->flash->Movie().isEmpty());
    EXPECT_TRUE(boxes.messages().isEmpty());

    boxes.queueText(" http://example.invalid/clip.swf ");
    boxes.queueAnswer(MessageBoxes::Answer::No);
    w->menus->MNUOPENURL->trigger();
    ASSERT_EQ(boxes.inputs().size(), 2);
    EXPECT_EQ(boxes.inputs()[1].prompt, QStringLiteral("请输入有效的网络SWF文件地址"));
    EXPECT_EQ(w->flash->Movie(), " http://example.invalid/clip.swf ");
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("是否下载本片"));
    EXPECT_EQ(boxes.messages()[0].title, QStringLiteral("Download File"));
    EXPECT_TRUE(dialogs.fileRequests().isEmpty());
}

TEST_F(MainWindowOpeningTest, DownloadRunsInTheBackgroundWithProgress) {
    const QString source = makeFile("source.swf", 300000);
    auto w = start();
    recordProgress(*w);
    boxes.queueText(source);
    boxes.queueAnswer(MessageBoxes::Answer::Yes);
    const QString target = dir.path() + "/saved.swf";
    dialogs.answerFiles({target});
    w->menus->MNUOPENURL->trigger();

    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(dialogs.fileRequests()[0].kind, nimbrel::platform::FileDialogKind::Save);
    EXPECT_EQ(dialogs.fileRequests()[0].fileName, "source.swf");
    const auto done = finishedDownload(*w);
    ASSERT_TRUE(done.has_value());
    EXPECT_EQ(done->first, Downloader::Result::Completed);
    EXPECT_EQ(QFileInfo(target).size(), 300000);
    EXPECT_FALSE(QFileInfo::exists(target + ".part"));
    EXPECT_GE(RecordingProgress::updates, 1);
    EXPECT_EQ(RecordingProgress::lastReceived, 300000);
    EXPECT_TRUE(RecordingProgress::closed);
    EXPECT_TRUE(boxes.messages().last().text.contains(target));
}

TEST_F(MainWindowOpeningTest, CancelledAndImpossibleDownloadsSayWhy) {
    const QString source = makeFile("big.swf", 4 * 1024 * 1024);
    auto w = start();
    recordProgress(*w, true);
    boxes.queueText(source);
    boxes.queueAnswer(MessageBoxes::Answer::Yes);
    const QString target = dir.path() + "/never.swf";
    dialogs.answerFiles({target});
    w->menus->MNUOPENURL->trigger();
    const auto done = finishedDownload(*w);
    ASSERT_TRUE(done.has_value());
    EXPECT_EQ(done->first, Downloader::Result::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(target + ".part"));
    EXPECT_EQ(boxes.messages().last().text, QStringLiteral("下载已取消，没有留下任何文件。"));

    // A source that is not there cannot start: the reason is shown at once.
    boxes.queueText(dir.path() + "/absent.swf");
    boxes.queueAnswer(MessageBoxes::Answer::Yes);
    dialogs.answerFiles({dir.path() + "/x.swf"});
    w->menus->MNUOPENURL->trigger();
    EXPECT_TRUE(boxes.messages().last().text.startsWith(QStringLiteral("无法下载：")));
    EXPECT_GT(boxes.messages().last().text.size(), QStringLiteral("无法下载：").size());
    EXPECT_EQ(boxes.messages().last().icon, MessageBoxes::Icon::Critical);

    // No name chosen: nothing starts.
    const int before = int(boxes.messages().size());
    boxes.queueText(source);
    boxes.queueAnswer(MessageBoxes::Answer::Yes);
    dialogs.answerCancel();
    w->menus->MNUOPENURL->trigger();
    EXPECT_EQ(boxes.messages().size(), before + 1); // only the offer
}

TEST_F(MainWindowOpeningTest, UpdatePageOpensInTheBrowser) {
    auto w = start();
    QUrl opened;
    w->opening->setUrlOpener([&opened](const QUrl& u) { opened = u; return true; });
    w->menus->MNUOPENWEB->trigger();
    EXPECT_EQ(opened, OpeningController::kUpdatePage);
    EXPECT_EQ(opened.scheme(), "https");
}

} // namespace
