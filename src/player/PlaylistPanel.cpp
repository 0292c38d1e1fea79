#include "player/PlaylistPanel.h"
#include "library/ConverterPanel.h"
#include "library/ListDropEvents.h"
#include "library/PlaylistMoves.h"
#include "library/PlaylistStore.h"
#include "library/SideList.h"
#include "library/SwfFilesPrompt.h"
#include "platform/MessageBoxes.h"
#include "player/CommandTable.h"
#include "player/FlashSurface.h"
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

namespace nimbrel::player {

using library::PlaylistMoves;
using platform::MessageBoxes;

const QString PlaylistPanel::kMissingFile = QStringLiteral("该文件不存在");
const QString PlaylistPanel::kPreviewTitle = QStringLiteral("Quorvane FlashPlayer");
const QString PlaylistPanel::kSaveFailed = QStringLiteral("列表未能全部保存：");

namespace {

PlaylistMoves::Entries entriesOf(const QListWidget& list) {
    PlaylistMoves::Entries e;
    for (int i = 0; i < list.count(); ++i) {
        e.texts << list.item(i)->text();
        e.selected << list.item(i)->isSelected();
    }
    return e;
}

void show(QListWidget& list, const PlaylistMoves::Entries& e) {
    for (int i = 0; i < list.count() && i < e.texts.size(); ++i) {
        list.item(i)->setText(e.texts[i]);
        list.item(i)->setSelected(e.selected[i]);
    }
}
} // namespace

PlaylistPanel::PlaylistPanel(QWidget* container, Services services, QObject* parent)
    : QObject(parent), services_(services) {
    createControls(container);
}

void PlaylistPanel::createControls(QWidget* container) {
    bflblist = new QListWidget(container);
    bflblist->setObjectName("bflblist");
    bflblist->setSelectionMode(QAbstractItemView::ExtendedSelection);
    bflblist->setToolTip(QStringLiteral("单击文件可以预览 支持文件拖放操作   鼠标右键打开菜单"));
    bflblist->setAcceptDrops(true);
    // Long paths are reached with huakuai2, which slides the whole list sideways.
    bflblist->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bflblist->setTextElideMode(Qt::ElideNone);
    bflblist->viewport()->setAcceptDrops(true);
    new library::ListDropEvents(
        bflblist->viewport(), [this](const QMimeData& data) { bflblist_OLEDragDrop(data); },
        [this](Qt::MouseButton button, QPoint at) { bflblist_MouseDown(button, at); });
    connect(bflblist, &QListWidget::itemClicked, this, [this] { bflblist_Click(); });

    bflbflash = new FlashSurface(container);
    bflbflash->setObjectName("bflbflash");

    Command18 = new QPushButton(QStringLiteral("向上移动"), container);
    Command18->setObjectName("Command18");
    Command19 = new QPushButton(QStringLiteral("向下移动"), container);
    Command19->setObjectName("Command19");
    connect(Command18, &QPushButton::clicked, this, &PlaylistPanel::Command18_Click);
    connect(Command19, &QPushButton::clicked, this, &PlaylistPanel::Command19_Click);

    huakuai2 = new QScrollBar(Qt::Horizontal, container);
    huakuai2->setObjectName("huakuai2");
    huakuai2->setRange(0, 100);

    // The window connects the items to their commands; the order is the menu's.
    MNUBFLBCZ = new QMenu(QStringLiteral("播放列表操作"), container);
    MNUBFLBCZ->setObjectName("MNUBFLBCZ");
    for (Command c : {Command::AddToPlaylist, Command::ReadPlaylist, Command::SavePlaylist,
                      Command::ReplaceStoredPlaylist})
        CommandTable::addMenuItem(MNUBFLBCZ, c);
    MNUBFLBCZ->addSeparator()->setObjectName("mnuhen");
    for (Command c : {Command::SelectAllPlaylist, Command::InvertPlaylistSelection, Command::SelectNoPlaylist,
                      Command::DeletePlaylistEntries})
        CommandTable::addMenuItem(MNUBFLBCZ, c);
    MNUBFLBCZ->addSeparator()->setObjectName("mnuhen5");
    for (Command c : {Command::PlaylistToConverter, Command::PlaylistToQuickPlay})
        CommandTable::addMenuItem(MNUBFLBCZ, c);
}

QStringList PlaylistPanel::entries() const { return library::SideList::texts(*bflblist); }

void PlaylistPanel::append(const QStringList& paths) { bflblist->addItems(paths); }

void PlaylistPanel::bflblist_Click() {
    const QListWidgetItem* item = bflblist->currentItem();
    if (!item)
        return;
    const QString path = item->text();
    if (!QFileInfo(path).isFile()) {
        services_.boxes.message(kMissingFile, kPreviewTitle, MessageBoxes::Icon::Information);
        return;
    }
    bflbflash->setMovie(path);
    bflbflash->Play();
}

void PlaylistPanel::bflblist_MouseDown(Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::RightButton)
        MNUBFLBCZ->popup(globalPos);
}

void PlaylistPanel::bflblist_OLEDragDrop(const QMimeData& data) {
    // The same "swf" test as the converter's list, in the order delivered.
    append(library::ConverterPanel::acceptedDrops(data));
}

void PlaylistPanel::MNUOPEN2_Click() {
    append(library::SwfFilesPrompt::ask(services_.dialog));
}

void PlaylistPanel::MNUDU_Click() {
    bflblist->clear();
    append(library::PlaylistStore(services_.store).read());
}

template <typename Save> void PlaylistPanel::save(Save&& saveList) {
    library::PlaylistStore store(services_.store);
    const library::PlaylistStore::SaveResult r = saveList(store, entries());
    // A list that did not reach the store would otherwise be lost without a word.
    if (!r.ok())
        services_.boxes.message(kSaveFailed + r.error, QString(), MessageBoxes::Icon::Exclamation);
}

void PlaylistPanel::MNUBCDA_Click() {
    save([](library::PlaylistStore& s, const QStringList& list) { return s.append(list); });
}

void PlaylistPanel::MNUSCYQSY_Click() {
    save([](library::PlaylistStore& s, const QStringList& list) { return s.replace(list); });
}

void PlaylistPanel::setAllSelected(bool (*rule)(bool)) {
    for (int i = 0; i < bflblist->count(); ++i)
        bflblist->item(i)->setSelected(rule(bflblist->item(i)->isSelected()));
}

void PlaylistPanel::MNUQX_Click() { setAllSelected([](bool) { return true; }); }
void PlaylistPanel::mnufx_Click() { setAllSelected([](bool was) { return !was; }); }
void PlaylistPanel::MNUBX_Click() { setAllSelected([](bool) { return false; }); }

void PlaylistPanel::mnudel_Click() { library::SideList::deleteSelected(*bflblist); }

void PlaylistPanel::Command18_Click() { show(*bflblist, PlaylistMoves::up(entriesOf(*bflblist))); }

void PlaylistPanel::Command19_Click() { show(*bflblist, PlaylistMoves::down(entriesOf(*bflblist))); }

} // namespace nimbrel::player
