#pragma once
// The converter side panel: the list of movies to turn into stand-alone programs,
// its button, hint and progress bar, and the pop-up menu that converts, shows the
// output folder and deletes entries. Its widgets live in the panel container the
// main window gives it; the window's layout places them.
#include "library/ProjectorWriter.h"
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollBar;
class QWidget;

namespace nimbrel::platform {
class CommonDialog;
class FolderOpener;
class MessageBoxes;
}

namespace nimbrel::library {

class ConversionRun;

class ConverterPanel : public QObject {
    Q_OBJECT
public:
    struct Services {
        platform::CommonDialog& dialog;
        platform::MessageBoxes& boxes;
        // The stored folder of the last conversion ("filepath2"), read and written.
        std::function<QString()> readOutputFolder;
        std::function<void(const QString&)> writeOutputFolder;
    };

    static const QString kFolderPickerName; // "不需要点击任何文件.swf"
    static const QString kStubName;         // "nimbrel-projector"

    ConverterPanel(QWidget* container, Services services, QObject* parent = nullptr);
    ~ConverterPanel() override;

    // The projector stub copied into every output: beside the running program
    // unless set otherwise.
    QString stubPath() const { return stubPath_; }
    void setStubPath(const QString& path) { stubPath_ = path; }
    static QString defaultStubPath();
    // The file manager; the desktop's unless replaced (not owned).
    void setFolderOpener(platform::FolderOpener* opener);

    // Adds full paths, each at its sorted place; no duplicate or existence check.
    void addFiles(const QStringList& paths);
    QStringList entries() const;
    bool isConverting() const { return run_ != nullptr; }

    // Command5: add files by the shared open dialog.
    void Command5_Click();
    // Files dropped on the list: those whose names end in "swf" are added.
    void convert_OLEDragDrop(const QMimeData& data);
    // The right button opens MNUZH at the pointer.
    void convert_MouseDown(Qt::MouseButton button, QPoint globalPos);
    // "转换": asks for the output folder and converts every entry. The run goes on
    // in the background; conversionFinished tells when it is over.
    void MNUZHUAN_Click();
    // "浏览转换后的文件夹": the last output folder in the file manager.
    void MNULL_Click();
    // "删除项目": the selected entries leave the list (the Del key does the same).
    void MNUSChu_Click();

    // The files a drop offers that the list takes.
    static QStringList acceptedDrops(const QMimeData& data);

    QPushButton* Command5;
    QListWidget* convert;
    QScrollBar* huakuai3;
    QFrame* Picture1;   // progress frame, hidden while idle
    QWidget* Image1;    // progress fill
    QLabel* Label14;    // hint
    QMenu* MNUZH;
    QAction* MNUZHUAN;
    QAction* MNULL;
    QAction* mnuhen9;
    QAction* MNUSChu;

signals:
    void conversionFinished(const nimbrel::library::ProjectorWriter::Result& result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(QWidget* container);
    void showProgress(int index, int count);
    void finishRun(const ProjectorWriter::Result& result);

    Services services_;
    QString stubPath_;
    std::unique_ptr<platform::FolderOpener> desktopOpener_;
    platform::FolderOpener* folderOpener_;
    ConversionRun* run_ = nullptr;
};

} // namespace nimbrel::library
