#pragma once
// The playlist side panel: the list of movie paths being edited, its preview,
// the two move buttons, its scroll bar and the pop-up menu that reads, saves and
// edits the list and hands it on. Its widgets live in the panel container the
// main window gives it; the window's layout places them. Handing the list to the
// converter or the quick-play list is the window's, through the command table.
#include <QObject>
#include <QPoint>
#include <QStringList>

class QAction;
class QListWidget;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollBar;
class QWidget;

namespace nimbrel::platform {
class CommonDialog;
class MessageBoxes;
class SettingsStore;
}

namespace nimbrel::player {

class FlashSurface;

class PlaylistPanel : public QObject {
    Q_OBJECT
public:
    struct Services {
        platform::CommonDialog& dialog;
        platform::MessageBoxes& boxes;
        platform::SettingsStore& store; // holds the stored playlist
    };

    static const QString kMissingFile;       // "该文件不存在"
    static const QString kPreviewTitle;      // "Quorvane FlashPlayer"
    static const QString kSaveFailed;        // "列表未能全部保存："

    PlaylistPanel(QWidget* container, Services services, QObject* parent = nullptr);

    QStringList entries() const;
    // Adds paths at the end, in order; no duplicate or existence check.
    void append(const QStringList& paths);

    // A click on an entry: plays it in the preview, or tells that the file is gone.
    void bflblist_Click();
    // The right button opens MNUBFLBCZ at the pointer.
    void bflblist_MouseDown(Qt::MouseButton button, QPoint globalPos);
    // Files dropped on the list: those whose names end in "swf" are appended.
    void bflblist_OLEDragDrop(const QMimeData& data);
    void MNUOPEN2_Click();
    void MNUDU_Click();
    void MNUBCDA_Click();
    void MNUSCYQSY_Click();
    void MNUQX_Click();
    void mnufx_Click();
    void MNUBX_Click();
    void mnudel_Click();
    void Command18_Click();
    void Command19_Click();

    QListWidget* bflblist;
    FlashSurface* bflbflash;
    QPushButton* Command18; // move up
    QPushButton* Command19; // move down
    QScrollBar* huakuai2;
    QMenu* MNUBFLBCZ;

protected:

private:
    void createControls(QWidget* container);
    void setAllSelected(bool (*rule)(bool wasSelected));
    template <typename Save> void save(Save&& save);

    Services services_;
};

} // namespace nimbrel::player
