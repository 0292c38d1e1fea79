// The converter panel with scripted dialogs, message boxes and file manager.
#include "library/ConverterPanel.h"
#include "library/ProjectorFixtures.h"
#include "platform/CommonDialog.h"
#include "platform/DesktopFolderOpener.h"
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedFolderOpener.h"
#include "platform/ScriptedMessageBoxes.h"
#include <QAction>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QUrl>

using nimbrel::library::ConverterPanel;
using nimbrel::library::ProjectorWriter;
using namespace nimbrel::platform;
using namespace projector_test;

namespace {

class ConverterPanelTest : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        frame.resize(600, 400);
        panel.setStubPath(stub(256));
        panel.setFolderOpener(&opener);
        panel.Picture1->setGeometry(0, 370, 500, 25);
        QObject::connect(&panel, &ConverterPanel::conversionFinished, [this] { ++finishedRuns; });
    }

    // Runs events until the current run has ended (or 20 s have gone by).
    bool waitForRunEnd() {
        QElapsedTimer t;
        t.start();
        while (finishedRuns == 0 && t.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return finishedRuns > 0;
    }

    // Answers the folder picker with a file in `folder` and waits for the run.
    void convertInto(const QString& folder) {
        dialogs.answerFiles({folder + ConverterPanel::kFolderPickerName});
        panel.MNUZHUAN_Click();
        ASSERT_TRUE(panel.isConverting());
        ASSERT_TRUE(waitForRunEnd());
    }

    static QMimeData* dropOf(const QStringList& paths) {
        auto* m = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        m->setUrls(urls);
        return m;
    }

    QWidget frame;
    ScriptedDialogBackend dialogs;
    CommonDialog dialog{dialogs};
    ScriptedMessageBoxes boxes;
    ScriptedFolderOpener opener;
    QString stored;
    QStringList writes;
    int finishedRuns = 0;
    ConverterPanel panel{&frame,
                         {dialog, boxes, [this] { return stored; },
                          [this](const QString& f) {
                              stored = f;
                              writes << f;
                          }}};
};

} // namespace

TEST_F(ConverterPanelTest, ControlsCarryTheirCaptionsAndTheMenuItsItemsInOrder) {
    EXPECT_EQ(panel.Command5->text(), "转换单个文件或多个文件");
    EXPECT_EQ(panel.Command5->toolTip(), "可以一次打开多个文件");
    EXPECT_EQ(panel.convert->toolTip(), "支持文件拖放操作  鼠标右键打开菜单");
    EXPECT_EQ(panel.convert->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(panel.Picture1->isVisibleTo(&frame));
    QStringList captions;
    for (QAction* a : panel.MNUZH->actions())
        captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions, (QStringList{"转换", "浏览转换后的文件夹", "-", "删除项目（支持ctrl多个选择,DEL删除）"}));
}

TEST_F(ConverterPanelTest, AddFilesByDialogSortedWithoutChecks) {
    dialogs.answerFiles({"/movies/b.swf", "/movies/a.swf", "/movies/a.swf"});
    panel.Command5_Click();
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    const FileDialogRequest& r = dialogs.fileRequests().first();
    EXPECT_EQ(r.kind, FileDialogKind::Open);
    EXPECT_EQ(r.title, "打开(一次可以打开多个文件)");
    EXPECT_EQ(r.filter, "所有文件 (*.swf)|*.swf");
    EXPECT_EQ(r.flags, 0x80200u);
    EXPECT_EQ(dialog.MaxFileSize(), 32767);
    EXPECT_EQ(panel.entries(), (QStringList{"/movies/a.swf", "/movies/a.swf", "/movies/b.swf"}));

    panel.Command5_Click(); // cancelled
    EXPECT_EQ(panel.entries().size(), 3);
}

TEST_F(ConverterPanelTest, DropsAddOnlyFilesEndingInLowerCaseSwf) {
    const struct {
        const char* name;
        QStringList dropped;
        QStringList added;
    } cases[] = {
        {"sorted", {"/m/b.swf", "/m/a.swf"}, {"/m/a.swf", "/m/b.swf"}},
        {"upper case extension", {"/m/movie.SWF"}, {}},
        {"other files", {"/m/a.txt", "/m/c.swf"}, {"/m/c.swf"}},
        {"name merely ending in swf", {"/m/fooswf"}, {"/m/fooswf"}},
    };
    for (const auto& c : cases) {
        panel.convert->clear();
        std::unique_ptr<QMimeData> data(dropOf(c.dropped));
        panel.convert_OLEDragDrop(*data);
        EXPECT_EQ(panel.entries(), c.added) << c.name;
    }
    panel.convert->clear();
    QMimeData text;
    text.setText("/m/a.swf");
    panel.convert_OLEDragDrop(text);
    QMimeData remote;
    remote.setUrls({QUrl("https://example.com/a.swf")});
    panel.convert_OLEDragDrop(remote);
    EXPECT_TRUE(panel.entries().isEmpty());
}

TEST_F(ConverterPanelTest, DeleteRemovesTheSelectedEntriesOnly) {
    panel.addFiles({"/m/a.swf", "/m/b.swf", "/m/c.swf"});
    panel.convert->item(1)->setSelected(true);
    panel.MNUSChu_Click();
    EXPECT_EQ(panel.entries(), (QStringList{"/m/a.swf", "/m/c.swf"}));
    panel.convert->selectAll();
    panel.MNUSChu_Click();
    EXPECT_TRUE(panel.entries().isEmpty());
    panel.MNUSChu_Click();
    EXPECT_TRUE(panel.entries().isEmpty());
}

TEST_F(ConverterPanelTest, BrowseOpensTheLastOutputFolderOrTheDefaultPlace) {
    panel.MNULL_Click();
    stored = "/srv/out/";
    opener.setSucceeds(false);
    panel.MNULL_Click();
    EXPECT_EQ(opener.requests(), (QStringList{"", "/srv/out/"}));
    EXPECT_TRUE(boxes.messages().isEmpty());
    EXPECT_EQ(DesktopFolderOpener::target(""), QDir::homePath());
    EXPECT_EQ(DesktopFolderOpener::target("/srv/out/"), "/srv/out/");
}

TEST_F(ConverterPanelTest, RightButtonOpensTheMenu) {
    panel.convert_MouseDown(Qt::LeftButton, QPoint(10, 10));
    EXPECT_FALSE(panel.MNUZH->isVisible());
    panel.convert_MouseDown(Qt::RightButton, QPoint(10, 10));
    EXPECT_TRUE(panel.MNUZH->isVisible());
    panel.MNUZH->hide();
}

TEST_F(ConverterPanelTest, CancellingTheFolderPickerConvertsNothing) {
    stored = "/remembered/";
    panel.addFiles({source("a.swf", movieOfSize(100))});
    dialogs.answerCancel();
    panel.MNUZHUAN_Click();
    EXPECT_FALSE(panel.isConverting());
    ASSERT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(dialogs.fileRequests().first().kind, FileDialogKind::Save);
    EXPECT_EQ(dialogs.fileRequests().first().initDir, "/remembered/");
    EXPECT_EQ(dialogs.fileRequests().first().fileName, "不需要点击任何文件.swf");
    EXPECT_TRUE(writes.isEmpty());
    EXPECT_TRUE(boxes.messages().isEmpty());
    EXPECT_EQ(panel.entries().size(), 1);
    EXPECT_FALSE(panel.Picture1->isVisibleTo(&frame));
}

TEST_F(ConverterPanelTest, ConvertingWritesEachEntryEmptiesTheListAndRemembersTheFolder) {
    panel.addFiles({source("b.swf", movieOfSize(300)), source("a.swf", movieOfSize(200))});
    dialogs.answerFiles({outFolder() + ConverterPanel::kFolderPickerName});
    panel.MNUZHUAN_Click();
    // The run goes on behind a window that keeps painting.
    EXPECT_TRUE(panel.isConverting());
    EXPECT_TRUE(panel.Picture1->isVisibleTo(&frame));
    ASSERT_TRUE(waitForRunEnd());

    EXPECT_EQ(outFiles(), (QStringList{"a.exe", "b.exe"}));
    EXPECT_EQ(readAll(path("out/a.exe")).size(), 256 + 200 + 8);
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages().first().text, "转换完成");
    EXPECT_EQ(boxes.messages().first().title, MessageBoxes::applicationTitle());
    EXPECT_TRUE(panel.entries().isEmpty());
    EXPECT_EQ(writes, QStringList{outFolder()});
    EXPECT_FALSE(panel.Picture1->isVisibleTo(&frame));
    EXPECT_EQ(panel.Image1->width(), panel.Picture1->width());
}

TEST_F(ConverterPanelTest, AnEmptyListStillEndsTheRunAndRemembersTheFolder) {
    convertInto(outFolder());
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages().first().text, "转换完成");
    EXPECT_EQ(stored, outFolder());
    EXPECT_EQ(panel.Image1->width(), panel.Picture1->width());
    EXPECT_TRUE(outFiles().isEmpty());
}

TEST_F(ConverterPanelTest, FailuresAreNamedAndTheListIsStillEmptied) {
    const QString good = source("good.swf", movieOfSize(100));
    const QString gone = path("in/gone.swf");
    panel.addFiles({good, gone});
    convertInto(outFolder());
    ASSERT_EQ(boxes.messages().size(), 1);
    const auto& m = boxes.messages().first();
    EXPECT_NE(m.text, "转换完成");
    EXPECT_TRUE(m.text.startsWith("转换完成"));
    EXPECT_TRUE(m.text.contains(gone + "：源文件不存在")) << m.text.toStdString();
    EXPECT_FALSE(m.text.contains(good));
    EXPECT_EQ(m.icon, MessageBoxes::Icon::Exclamation);
    EXPECT_EQ(outFiles(), QStringList{"good.exe"});
    EXPECT_TRUE(panel.entries().isEmpty());
}

TEST_F(ConverterPanelTest, AMissingStubIsReportedAndNothingIsWritten) {
    panel.setStubPath(path("nowhere/nimbrel-projector"));
    panel.addFiles({source("a.swf", movieOfSize(100))});
    convertInto(outFolder());
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_TRUE(boxes.messages().first().text.contains("nowhere/nimbrel-projector"));
    EXPECT_EQ(boxes.messages().first().icon, MessageBoxes::Icon::Critical);
    EXPECT_TRUE(outFiles().isEmpty());
}

TEST_F(ConverterPanelTest, FilesAddedDuringARunStayForTheNext) {
    panel.addFiles({source("a.swf", movieOfSize(100))});
    dialogs.answerFiles({outFolder() + ConverterPanel::kFolderPickerName});
    panel.MNUZHUAN_Click();
    panel.addFiles({"/later/z.swf"});
    panel.MNUZHUAN_Click(); // a second run does not start while one goes on
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(dialogs.fileRequests().size(), 1);
    EXPECT_EQ(panel.entries(), QStringList{"/later/z.swf"});
}

TEST_F(ConverterPanelTest, ProgressFillGrowsWithEachEntry) {
    QStringList sources;
    for (int i = 0; i < 8; ++i)
        sources << source(QString("m%1.swf").arg(i), movieOfSize(100));
    panel.addFiles(sources);
    QList<int> widths;
    dialogs.answerFiles({outFolder() + ConverterPanel::kFolderPickerName});
    panel.MNUZHUAN_Click();
    // Each width is read before the events that may end the run are handled.
    while (finishedRuns == 0) {
        widths << panel.Image1->width();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_FALSE(widths.isEmpty());
    for (qsizetype i = 1; i < widths.size(); ++i)
        EXPECT_LE(widths[i - 1], widths[i]);
    EXPECT_LE(widths.last(), 500 * 7 / 8);
    EXPECT_EQ(panel.Image1->width(), 500);
}
