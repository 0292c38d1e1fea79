#pragma once
// The lower half of the search panel: the results list (a model, so a million
// results need no widget each), its scroll bar, the previews of the clicked
// result (movies in flash2, pictures in yulanp) and the pop-up menu that copies
// the selected files into a folder, opens that folder, selects and removes
// entries and hands the results on. Handing on is the window's, through the
// command table; the checks that refuse pictures are here.
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QListView;
class QMenu;
class QScrollBar;
class QWidget;

namespace nimbrel::library { class SearchResultsModel; }
namespace nimbrel::platform {
class CommonDialog;
class FolderOpener;
class MessageBoxes;
}

namespace nimbrel::player {

class FlashSurface;

class SearchResultsPanel : public QObject {
    Q_OBJECT
public:
    struct Services {
        platform::CommonDialog& dialog;
        platform::MessageBoxes& boxes;
        // The folder results were last copied to ("filepath"), read and written.
        std::function<QString()> readSaveFolder;
        std::function<void(const QString&)> writeSaveFolder;
        // Opens a picture in the image editor.
        std::function<void(const QImage&)> openPicture;
    };

    static const QString kNoConversion; // "图象文件不能进行转换"
    static const QString kNoPlaying;    // "图象文件不能进行播放"

    SearchResultsPanel(QWidget* container, Services services, QObject* parent = nullptr);
    ~SearchResultsPanel() override;

    library::SearchResultsModel& results() { return *model_; }
    QStringList entries() const;
    QStringList selectedEntries() const;
    // The file manager; the desktop's unless replaced (not owned).
    void setFolderOpener(platform::FolderOpener* opener);

    // The search type decides which preview shows (oflash_Click / oimage_Click).
    void showPreviewFor(bool pictures);
    bool picturesShown() const { return pictures_; }

    void lsearch_Click();
    // A click on the picture preview opens the picture in the image editor.
    void yulanp_Click();
    void lsearch_MouseDown(Qt::MouseButton button, QPoint globalPos);
    void MNUSAVEW_Click();
    void MNULLBCH_Click();
    void mnuquanx_Click();
    void mnufanx_Click();
    void mnubux_Click();
    void MNUSDEL_Click();
    // "添加到SWF TO EXE" and "添加到播放列表": the results to hand on, or nothing
    // (after telling why) when the search is for pictures.
    std::optional<QStringList> forConverter();
    std::optional<QStringList> takeForPlaylist();

    QListView* lsearch;
    FlashSurface* flash2;
    QLabel* yulanp;
    QLabel* Label3;
    QScrollBar* huakuaione;
    QMenu* mnusearch;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(QWidget* container);

    Services services_;
    library::SearchResultsModel* model_;
    std::unique_ptr<platform::FolderOpener> desktopOpener_;
    platform::FolderOpener* folderOpener_;
    bool pictures_ = false;
};

} // namespace nimbrel::player
