#include "player/SearchResultsPanel.h"
#include "library/ConverterPanel.h"
#include "library/ProjectorOutputName.h"
#include "library/ResultCopies.h"
#include "library/SearchResultsModel.h"
#include "platform/CommonDialog.h"
#include "platform/DesktopFolderOpener.h"
#include "platform/MessageBoxes.h"
#include "player/CommandTable.h"
#include "player/FlashSurface.h"
#include "player/PlaylistPanel.h"
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace nimbrel::player {

using platform::MessageBoxes;

const QString SearchResultsPanel::kNoConversion = QStringLiteral("图象文件不能进行转换");
const QString SearchResultsPanel::kNoPlaying = QStringLiteral("图象文件不能进行播放");

SearchResultsPanel::SearchResultsPanel(QWidget* container, Services services, QObject* parent)
    : QObject(parent), services_(std::move(services)), model_(new library::SearchResultsModel(this)),
      desktopOpener_(std::make_unique<platform::DesktopFolderOpener>()), folderOpener_(desktopOpener_.get()) {
    createControls(container);
    showPreviewFor(false);
}

SearchResultsPanel::~SearchResultsPanel() = default;

void SearchResultsPanel::createControls(QWidget* container) {
    lsearch = new QListView(container);
    lsearch->setObjectName("lsearch");
    model_->showIn(*lsearch);
    lsearch->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lsearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Long paths are reached with huakuaione, which slides the whole list sideways.
    lsearch->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lsearch->setTextElideMode(Qt::ElideNone);
    lsearch->setToolTip(QStringLiteral("单击文件可以预览   鼠标右键打开菜单"));
    lsearch->viewport()->installEventFilter(this);
    connect(lsearch, &QListView::clicked, this, [this] { lsearch_Click(); });

    flash2 = new FlashSurface(container);
    flash2->setObjectName("flash2");
    yulanp = new QLabel(container);
    yulanp->setObjectName("yulanp");
    yulanp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3 = new QLabel(QStringLiteral("单击图片可以预览和编辑"), container);
    Label3->setObjectName("Label3");
    QPalette light = Label3->palette();
    light.setColor(QPalette::WindowText, QColor(0xD8, 0xE0, 0xEA));
    Label3->setPalette(light);
    Label3->adjustSize();
    // The hint rides just above the picture wherever the layout puts it.
    yulanp->installEventFilter(this);

    huakuaione = new QScrollBar(Qt::Horizontal, container);
    huakuaione->setObjectName("huakuaione");
    huakuaione->setRange(0, 100);

    mnusearch = new QMenu(QStringLiteral("搜索"), container);
    mnusearch->setObjectName("mnusearch");
    for (Command c : {Command::SaveResultCopies, Command::OpenResultFolder})
        CommandTable::addMenuItem(mnusearch, c);
    mnusearch->addSeparator()->setObjectName("mnuhen8");
    for (Command c : {Command::SelectAllResults, Command::InvertResultSelection, Command::SelectNoResults,
                      Command::RemoveResults})
        CommandTable::addMenuItem(mnusearch, c);
    mnusearch->addSeparator()->setObjectName("munhen7");
    for (Command c : {Command::ResultsToConverter, Command::ResultsToPlaylist})
        CommandTable::addMenuItem(mnusearch, c);
}

QStringList SearchResultsPanel::entries() const { return model_->paths(); }

QStringList SearchResultsPanel::selectedEntries() const {
    QModelIndexList rows = lsearch->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList out;
    for (const QModelIndex& i : rows)
        out << model_->paths().value(i.row());
    return out;
}

void SearchResultsPanel::setFolderOpener(platform::FolderOpener* opener) {
    folderOpener_ = opener ? opener : desktopOpener_.get();
}

void SearchResultsPanel::showPreviewFor(bool pictures) {
    pictures_ = pictures;
    yulanp->setVisible(pictures);
    Label3->setVisible(pictures);
    flash2->setVisible(!pictures);
}

void SearchResultsPanel::lsearch_Click() {
    const QString path = model_->paths().value(lsearch->currentIndex().row());
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isFile()) {
        services_.boxes.message(PlaylistPanel::kMissingFile, PlaylistPanel::kPreviewTitle,
                                MessageBoxes::Icon::Information);
        return;
    }
    // Lower-case "swf" only; anything else is taken for a picture.
    if (path.endsWith(QLatin1String("swf"), Qt::CaseSensitive)) {
        yulanp->hide();
        flash2->show();
        flash2->setMovie(path);
        flash2->Play();
        return;
    }
    yulanp->show();
    flash2->hide();
    // A file that is no picture leaves the previous one in place.
    const QImage picture = QImageReader(path).read();
    if (!picture.isNull())
        yulanp->setPixmap(QPixmap::fromImage(picture));
}

void SearchResultsPanel::yulanp_Click() {
    // Nothing previewed yet: there is no picture to hand over.
    const QPixmap picture = yulanp->pixmap();
    if (picture.isNull() || !services_.openPicture)
        return;
    services_.openPicture(picture.toImage());
}

void SearchResultsPanel::lsearch_MouseDown(Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::RightButton)
        mnusearch->popup(globalPos);
}

void SearchResultsPanel::MNUSAVEW_Click() {
    platform::CommonDialog& dialog = services_.dialog;
    const QString remembered = services_.readSaveFolder ? services_.readSaveFolder() : QString();
    if (!remembered.isEmpty())
        dialog.setInitDir(remembered);
    dialog.setFileName(library::ConverterPanel::kFolderPickerName);
    dialog.ShowSave();
    // A cancelled dialog leaves no path and so no folder.
    const auto folder = library::ProjectorOutputName::folderOfPickedPath(dialog.FileName());
    if (!folder)
        return;
    if (services_.writeSaveFolder)
        services_.writeSaveFolder(*folder);
    const library::ResultCopies::Report report = library::ResultCopies::copyInto(selectedEntries(), *folder);
    services_.boxes.message(library::ResultCopies::text(report), QString(),
                            report.failures.isEmpty() ? MessageBoxes::Icon::None : MessageBoxes::Icon::Exclamation);
}

void SearchResultsPanel::MNULLBCH_Click() {
    folderOpener_->openFolder(services_.readSaveFolder ? services_.readSaveFolder() : QString());
}

void SearchResultsPanel::mnuquanx_Click() { lsearch->selectAll(); }

void SearchResultsPanel::mnufanx_Click() {
    const int rows = model_->rowCount();
    if (rows == 0)
        return;
    const QItemSelection all(model_->index(0), model_->index(rows - 1));
    lsearch->selectionModel()->select(all, QItemSelectionModel::Toggle);
}

void SearchResultsPanel::mnubux_Click() { lsearch->clearSelection(); }

void SearchResultsPanel::MNUSDEL_Click() {
    QList<int> rows;
    for (const QModelIndex& i : lsearch->selectionModel()->selectedRows())
        rows << i.row();
    if (!rows.isEmpty())
        model_->removeRows(rows);
}

std::optional<QStringList> SearchResultsPanel::forConverter() {
    if (pictures_) {
        services_.boxes.message(kNoConversion);
        return std::nullopt;
    }
    return entries();
}

std::optional<QStringList> SearchResultsPanel::takeForPlaylist() {
    if (pictures_) {
        services_.boxes.message(kNoPlaying);
        return std::nullopt;
    }
    const QStringList all = entries();
    model_->clear();
    return all;
}

bool SearchResultsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == yulanp && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        Label3->move(yulanp->x(), qMax(0, yulanp->y() - Label3->height()));
        return false;
    }
    if (watched == yulanp && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            yulanp_Click();
        return true;
    }
    if (watched == lsearch->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::RightButton) {
            lsearch_MouseDown(e->button(), e->globalPosition().toPoint());
            return true;
        }
    }
    return false;
}

} // namespace nimbrel::player
