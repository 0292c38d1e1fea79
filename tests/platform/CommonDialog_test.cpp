// The shared dialog: what callers rely on after Show*, and how the classic
// properties become a Qt file dialog.
#include "platform/CommonDialog.h"
#include "platform/DialogCancelled.h"
#include "platform/QtDialogBackend.h"
#include "platform/ScriptedDialogBackend.h"
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QFileDialog>
#include <gtest/gtest.h>

using namespace nimbrel::platform;

namespace {

class CommonDialogTest : public ::testing::Test {
protected:
    ScriptedDialogBackend backend;
    CommonDialog dialog{backend};
};

// Opening movies: the settings of the multi-file open dialog.
void setUpOpenMovies(CommonDialog& d) {
    d.setDialogTitle(QStringLiteral("打开(一次可以打开多个文件)"));
    d.setInitDir("/opt/nimbrel");
    d.setFlags(0x81200);
    d.setMaxFileSize(32767);
    d.setFilter(QStringLiteral("所有文件 (*.swf)|*.swf"));
    d.setFlags(0x80200);
}

TEST_F(CommonDialogTest, LaterCallerInheritsWhatItDoesNotSet) {
    setUpOpenMovies(dialog);
    backend.answerFiles({"/movies/a.swf"});
    dialog.ShowOpen();

    // Saving the current movie sets only the title.
    dialog.setDialogTitle(QStringLiteral("文件另存为..."));
    backend.answerFiles({"/movies/copy.swf"});
    EXPECT_EQ(dialog.ShowSave(), CommonDialog::Outcome::Chosen);

    ASSERT_EQ(backend.fileRequests().size(), 2);
    const FileDialogRequest& save = backend.fileRequests()[1];
    EXPECT_EQ(save.kind, FileDialogKind::Save);
    EXPECT_EQ(save.title, QStringLiteral("文件另存为..."));
    EXPECT_EQ(save.filter, QStringLiteral("所有文件 (*.swf)|*.swf"));
    EXPECT_EQ(save.flags, 0x80200u);
    EXPECT_EQ(save.initDir, "/opt/nimbrel");
    // The file name going in is the previous caller's result.
    EXPECT_EQ(save.fileName, "/movies/a.swf");
    EXPECT_EQ(dialog.FileName(), "/movies/copy.swf");
    EXPECT_EQ(dialog.MaxFileSize(), 32767);
}

TEST_F(CommonDialogTest, FolderPickerPresetNameReachesTheDialog) {
    dialog.setInitDir("/data/results");
    dialog.setFileName(QStringLiteral("不需要点击任何文件.swf"));
    backend.answerFiles({"/data/out/不需要点击任何文件.swf"});
    dialog.ShowSave();
    EXPECT_EQ(backend.fileRequests().last().fileName, QStringLiteral("不需要点击任何文件.swf"));
    EXPECT_EQ(backend.fileRequests().last().initDir, "/data/results");
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/data/out/不需要点击任何文件.swf"));
}

TEST_F(CommonDialogTest, SeveralFilesComeBackAsFolderThenNames) {
    setUpOpenMovies(dialog);
    backend.answerFiles({"/movies/one.swf", "/movies/two.swf", "/movies/three.swf"});
    ASSERT_EQ(dialog.ShowOpen(), CommonDialog::Outcome::Chosen);

    const QStringList parts = dialog.FileName().split(QChar(0));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts[0], "/movies");
    EXPECT_EQ(parts.mid(1), (QStringList{"one.swf", "two.swf", "three.swf"}));
}

TEST_F(CommonDialogTest, OneFileComesBackAsItsFullPath) {
    setUpOpenMovies(dialog);
    backend.answerFiles({"/movies/one.swf"});
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), "/movies/one.swf");
    EXPECT_FALSE(dialog.FileName().contains(QChar(0)));
}

TEST(CommonDialogPacking, FilesFromDifferentFoldersStillJoinToTheirPaths) {
    const QStringList chosen{"/a/b/c/one.swf", "/a/b/d/two.swf", "/a/x.swf"};
    const QStringList parts = CommonDialog::packFileNames(chosen).split(QChar(0));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts[0], "/a");
    for (int i = 1; i < parts.size(); ++i)
        EXPECT_EQ(parts[0] + "/" + parts[i], chosen[i - 1]);

    const QStringList fromRoot = CommonDialog::packFileNames({"/one.swf", "/two.swf"}).split(QChar(0));
    EXPECT_EQ(fromRoot, (QStringList{"/", "one.swf", "two.swf"}));
    EXPECT_TRUE(CommonDialog::packFileNames({}).isEmpty());
}

TEST_F(CommonDialogTest, WithoutMultiSelectOnlyOneFileIsTaken) {
    dialog.setFlags(CommonDialog::FlagFileMustExist);
    backend.answerFiles({"/m/a.swf", "/m/b.swf"});
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), "/m/a.swf");
}

TEST_F(CommonDialogTest, CancelWithoutCancelErrorEmptiesFileName) {
    setUpOpenMovies(dialog);
    backend.answerFiles({"/movies/a.swf"});
    dialog.ShowOpen();
    ASSERT_FALSE(dialog.FileName().isEmpty());

    backend.answerCancel();
    EXPECT_EQ(dialog.ShowOpen(), CommonDialog::Outcome::Cancelled);
    EXPECT_EQ(dialog.FileName(), "");
}

TEST_F(CommonDialogTest, CancelWithCancelErrorRaises32755) {
    // The image editor's save.
    dialog.setDialogTitle(QStringLiteral("保存"));
    dialog.setCancelError(true);
    dialog.setFlags(6);
    dialog.setFilter(QStringLiteral("位图文件(*.BMP)|*.BMP"));
    dialog.setFileName("/pictures/old.bmp");
    backend.answerCancel();
    try {
        dialog.ShowSave();
        FAIL() << "cancel did not raise";
    } catch (const DialogCancelled& e) {
        EXPECT_EQ(e.code(), 32755);
        EXPECT_FALSE(e.bufferTooSmall());
    }
    EXPECT_EQ(dialog.FileName(), "");
    // The property stays set for the next caller.
    EXPECT_TRUE(dialog.CancelError());
    backend.answerFiles({"/pictures/new.bmp"});
    EXPECT_NO_THROW(dialog.ShowSave());
    EXPECT_EQ(dialog.FileName(), "/pictures/new.bmp");
}

TEST_F(CommonDialogTest, ChoiceLongerThanMaxFileSizeIsRefused) {
    const QString path = "/movies/" + QString(40, 'x') + ".swf";   // 52 characters
    dialog.setMaxFileSize(int(path.size()) + 1);
    backend.answerFiles({path});
    EXPECT_EQ(dialog.ShowOpen(), CommonDialog::Outcome::Chosen);
    EXPECT_EQ(dialog.FileName(), path);

    dialog.setMaxFileSize(int(path.size()));
    backend.answerFiles({path});
    EXPECT_EQ(dialog.ShowOpen(), CommonDialog::Outcome::TooLong);
    EXPECT_EQ(dialog.FileName(), "");

    dialog.setCancelError(true);
    backend.answerFiles({path});
    try {
        dialog.ShowOpen();
        FAIL() << "an over-long choice with CancelError did not raise";
    } catch (const DialogCancelled& e) {
        EXPECT_TRUE(e.bufferTooSmall());
        EXPECT_EQ(e.code(), 32755);
    }
}

TEST_F(CommonDialogTest, MultiSelectionCountsEveryNameAgainstMaxFileSize) {
    dialog.setFlags(0x80200);
    const QStringList files{"/m/aaaa.swf", "/m/bbbb.swf"};
    // "/m" + NUL + "aaaa.swf" + NUL + "bbbb.swf" + two terminators = 22
    dialog.setMaxFileSize(22);
    backend.answerFiles(files);
    EXPECT_EQ(dialog.ShowOpen(), CommonDialog::Outcome::Chosen);
    dialog.setMaxFileSize(21);
    backend.answerFiles(files);
    EXPECT_EQ(dialog.ShowOpen(), CommonDialog::Outcome::TooLong);
}

TEST_F(CommonDialogTest, MaxFileSizeStaysWithinItsRange) {
    EXPECT_EQ(dialog.MaxFileSize(), 260);
    dialog.setMaxFileSize(0);
    EXPECT_EQ(dialog.MaxFileSize(), 1);
    dialog.setMaxFileSize(70000);
    EXPECT_EQ(dialog.MaxFileSize(), 32767);
}

TEST_F(CommonDialogTest, ColourHasRedInTheLowestByte) {
    backend.answerColor(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(dialog.ShowColor(), CommonDialog::Outcome::Chosen);
    EXPECT_EQ(dialog.Color(), 0x563412u);

    // The next colour dialog starts from the last colour; a cancel keeps it.
    backend.answerColorCancel();
    EXPECT_EQ(dialog.ShowColor(), CommonDialog::Outcome::Cancelled);
    EXPECT_EQ(dialog.Color(), 0x563412u);
    ASSERT_EQ(backend.colorRequests().size(), 2);
    EXPECT_EQ(backend.colorRequests()[1], QColor(0x12, 0x34, 0x56));

    dialog.setCancelError(true);
    EXPECT_THROW(dialog.ShowColor(), DialogCancelled);
    dialog.setColor(0xFF123456);
    EXPECT_EQ(dialog.Color(), 0x123456u);
}

TEST(QtDialogBackendFilters, ClassicPairsBecomeQtFilters) {
    EXPECT_EQ(QtDialogBackend::nameFilters(QStringLiteral("所有文件 (*.swf)|*.swf")),
              QStringList{QStringLiteral("所有文件 (*.swf) (*.swf *.SWF)")});
    EXPECT_EQ(QtDialogBackend::nameFilters(
                  QStringLiteral("位图文件(*.bmp)|*.bmp|JPG文件(*.jpg)|*.jpg|GIF文件(*.gif)|*.gif")),
              (QStringList{QStringLiteral("位图文件(*.bmp) (*.bmp *.BMP)"),
                           QStringLiteral("JPG文件(*.jpg) (*.jpg *.JPG)"),
                           QStringLiteral("GIF文件(*.gif) (*.gif *.GIF)")}));
    EXPECT_EQ(QtDialogBackend::nameFilters(QStringLiteral("位图文件(*.BMP)|*.BMP")),
              QStringList{QStringLiteral("位图文件(*.BMP) (*.BMP *.bmp)")});
    EXPECT_EQ(QtDialogBackend::nameFilters("Pictures|*.jpg;*.gif"),
              QStringList{"Pictures (*.jpg *.JPG *.gif *.GIF)"});
    EXPECT_EQ(QtDialogBackend::nameFilters("All|*"), QStringList{"All (*)"});
}

TEST(QtDialogBackendFilters, IncompleteOrEmptyFiltersGiveNothingBroken) {
    EXPECT_TRUE(QtDialogBackend::nameFilters("").isEmpty());
    EXPECT_EQ(QtDialogBackend::nameFilters("Movies|*.swf|Dangling"), QStringList{"Movies (*.swf *.SWF)"});
    EXPECT_EQ(QtDialogBackend::nameFilters("|*.swf"), QStringList{"*.swf *.SWF (*.swf *.SWF)"});
    EXPECT_TRUE(QtDialogBackend::nameFilters("Nothing|").isEmpty());
}

TEST(QtDialogBackendFilters, QtShowsTheClassicDescription) {
    // Built but never shown: the filter list is what a user would pick from.
    QFileDialog dialog;
    dialog.setOptions(QtDialogBackend::setupFor(FileDialogKind::Open, 0x80200).options |
                      QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(QtDialogBackend::nameFilters(
        QStringLiteral("所有文件 (*.swf)|*.swf|位图文件(*.bmp)|*.bmp")));
    const auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("所有文件 (*.swf)"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("位图文件(*.bmp)"));
}

TEST(QtDialogBackendFlags, OpenFlagsChooseTheFileMode) {
    using S = QtDialogBackend;
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x80200).fileMode, QFileDialog::ExistingFiles);
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x81200).fileMode, QFileDialog::ExistingFiles);
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x81000).fileMode, QFileDialog::ExistingFile);
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x80000).fileMode, QFileDialog::AnyFile);
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x80200).acceptMode, QFileDialog::AcceptOpen);
    // Hiding the read-only box changes nothing here.
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x4).fileMode, S::setupFor(FileDialogKind::Open, 0).fileMode);
    EXPECT_EQ(S::setupFor(FileDialogKind::Open, 0x4).options, S::setupFor(FileDialogKind::Open, 0).options);
}

TEST(QtDialogBackendFlags, SaveAsksBeforeOverwritingOnlyWhenTold) {
    using S = QtDialogBackend;
    const auto withPrompt = S::setupFor(FileDialogKind::Save, 6);
    EXPECT_EQ(withPrompt.acceptMode, QFileDialog::AcceptSave);
    EXPECT_EQ(withPrompt.fileMode, QFileDialog::AnyFile);
    EXPECT_FALSE(withPrompt.options.testFlag(QFileDialog::DontConfirmOverwrite));

    const auto noPrompt = S::setupFor(FileDialogKind::Save, 0x80200);
    EXPECT_TRUE(noPrompt.options.testFlag(QFileDialog::DontConfirmOverwrite));
    // A save dialog never selects several files, whatever flags it inherited.
    EXPECT_EQ(noPrompt.fileMode, QFileDialog::AnyFile);
    EXPECT_EQ(S::setupFor(FileDialogKind::Save, 0x1000).fileMode, QFileDialog::ExistingFile);
}

// Drives the real file dialog once: a timer inspects it and picks a file, so
// nothing waits on a user.
TEST(QtDialogBackendLive, OpenDialogShowsTheRequestAndReturnsTheChoice) {
    QTemporaryDir dir;
    for (const char* name : {"a.swf", "b.swf"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QtDialogBackend backend;
    CommonDialog dialog(backend);
    dialog.setDialogTitle(QStringLiteral("打开(一次可以打开多个文件)"));
    dialog.setInitDir(dir.path());
    dialog.setFilter(QStringLiteral("所有文件 (*.swf)|*.swf"));
    dialog.setFlags(0x80200);
    dialog.setMaxFileSize(32767);

    QString seenTitle, seenDir;
    QStringList seenFilters;
    QFileDialog::FileMode seenMode = QFileDialog::AnyFile;
    int tries = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Give up after ten seconds rather than hang, whether or not the dialog
        // came up: a loaded machine has been seen to leave it open.
        if (++tries > 500) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
            return;
        }
        auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!fd)
            return;
        seenTitle = fd->windowTitle();
        seenDir = fd->directory().absolutePath();
        seenFilters = fd->nameFilters();
        seenMode = fd->fileMode();
        fd->selectFile(dir.filePath("b.swf"));
        static_cast<QDialog*>(fd)->accept();  // QFileDialog checks the choice first
    });
    poll.start();
    const auto outcome = dialog.ShowOpen();
    poll.stop();

    EXPECT_EQ(outcome, CommonDialog::Outcome::Chosen);
    EXPECT_EQ(dialog.FileName(), QDir(dir.path()).absoluteFilePath("b.swf"));
    EXPECT_EQ(seenTitle, QStringLiteral("打开(一次可以打开多个文件)"));
    EXPECT_EQ(seenDir, QDir(dir.path()).absolutePath());
    EXPECT_EQ(seenFilters, QStringList{QStringLiteral("所有文件 (*.swf) (*.swf *.SWF)")});
    EXPECT_EQ(seenMode, QFileDialog::ExistingFiles);
}

} // namespace
