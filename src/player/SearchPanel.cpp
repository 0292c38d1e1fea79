#include "player/SearchPanel.h"
#include "library/FileSearch.h"
#include "library/SearchResultsModel.h"
#include "library/SearchSummary.h"
#include "platform/MessageBoxes.h"
#include "platform/Twips.h"
#include "player/SearchResultsPanel.h"
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTreeView>

namespace nimbrel::player {

using library::SearchInputs;
using library::SearchRules;
using platform::Twips;

namespace {
const QString kSearch = QStringLiteral("搜索");
const QString kStop = QStringLiteral("停止");

struct Rect {
    int left, top, width, height;
};

// The layout leaves these where they are put: twips within their parent.
template <typename W> W* placed(W* w, const char* name, Rect r) {
    w->setObjectName(QString::fromUtf8(name));
    const double dx = Twips::dpiX(w->parentWidget());
    const double dy = Twips::dpiY(w->parentWidget());
    w->setGeometry(Twips::toPixels(r.left, dx), Twips::toPixels(r.top, dy), Twips::toPixels(r.width, dx),
                   Twips::toPixels(r.height, dy));
    return w;
}

void setLightText(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, QColor(0xD8, 0xE0, 0xEA));
    w->setPalette(p);
}

QComboBox* operatorBox(QWidget* parent, const QStringList& choices) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->addItems(choices);
    box->setCurrentText(choices.first());
    return box;
}

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace

SearchPanel::SearchPanel(QWidget* container, platform::MessageBoxes& boxes, SearchResultsPanel& results,
                         QObject* parent)
    : QObject(parent), boxes_(boxes), results_(results), search_(new library::FileSearch(this)) {
    createControls(container);
    connectSearch();
}

void SearchPanel::createControls(QWidget* container) {
    setLightText(placed(new QLabel(QStringLiteral("路径："), container), "Label12", {120, 120, 600, 300}));
    Text3 = placed(new QLineEdit(container), "Text3", {720, 90, 2200, 360});
    Command1 = placed(new QPushButton(kSearch, container), "Command1", {2980, 60, 780, 420});
    Command9 = placed(new QPushButton(QStringLiteral("搜索设置（下拉菜单）"), container), "Command9",
                      {3820, 60, 2075, 420});
    Command9->setToolTip(QStringLiteral("打开和收缩菜单"));
    connect(Command1, &QPushButton::clicked, this, &SearchPanel::Command1_Click);
    connect(Command9, &QPushButton::clicked, this, &SearchPanel::Command9_Click);

    searchsettings = placed(new QGroupBox(QStringLiteral("搜索选项  "), container), "searchsettings",
                            {120, 600, 5775, 4380});
    searchsettings->setAutoFillBackground(true);
    // Its captions sit on the panel's dark background.
    setLightText(searchsettings);
    createSettings();
    searchsettings->hide();
}

void SearchPanel::createSettings() {
    QWidget* s = searchsettings;
    Drive1 = placed(new QComboBox(s), "Drive1", {120, 300, 2400, 330});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            Drive1->addItem(volume.rootPath());
    Dir1 = placed(new QTreeView(s), "Dir1", {120, 720, 2400, 2880});
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    Dir1->setModel(folders_);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column)
        Dir1->hideColumn(column);
    connect(Drive1, &QComboBox::currentTextChanged, this, &SearchPanel::Drive1_Change);
    connect(Dir1, &QTreeView::clicked, this, &SearchPanel::Dir1_Change);

    oflash = placed(new QRadioButton(QStringLiteral("Flash文件"), s), "oflash", {2640, 300, 1400, 330});
    oimage = placed(new QRadioButton(QStringLiteral("图象文件"), s), "oimage", {4100, 300, 1400, 330});
    oflash->setChecked(true);
    connect(oflash, &QRadioButton::clicked, this, &SearchPanel::oflash_Click);
    connect(oimage, &QRadioButton::clicked, this, &SearchPanel::oimage_Click);

    placed(new QLabel(QStringLiteral("日期+时间："), s), "Label8", {2640, 720, 2000, 300});
    dateandhore = placed(operatorBox(s, {SearchRules::kGreater, SearchRules::kExactly}), "dateandhore",
                         {2640, 1020, 1000, 330});
    dateandhoretext = placed(new QLineEdit(QStringLiteral("2006070800"), s), "dateandhoretext", {3700, 1020, 1900, 330});
    dateandhoretext->setToolTip(QStringLiteral("年 ＋ 月 ＋ 日 ＋ 时（不足十的前面加0）"));
    Label9 = placed(new QLabel(QStringLiteral("你选择的是：大于2006年7月8日00点"), s), "Label9", {2640, 1380, 3100, 300});

    placed(new QLabel(QStringLiteral("文件大小："), s), "Label10", {2640, 1800, 2000, 300});
    filesize = placed(operatorBox(s, {SearchRules::kGreater, SearchRules::kLess}), "filesize", {2640, 2100, 1000, 330});
    filesizetext = placed(new QLineEdit(QStringLiteral("0"), s), "filesizetext", {3700, 2100, 1900, 330});
    Label11 = placed(new QLabel(QStringLiteral("你选择的是：文件大于0KB"), s), "Label11", {2640, 2460, 3100, 300});

    placed(new QLabel(QStringLiteral("文件名包含："), s), "Label12b", {2640, 2880, 2000, 300});
    searchfile = placed(new QLineEdit(s), "searchfile", {2640, 3180, 2960, 330});
    Label13 = placed(new QLabel(QStringLiteral("搜索IE缓存 xp：Document and setting文件夹，vista：user文件夹"), s),
                     "Label13", {120, 3660, 5500, 600});
    Label13->setWordWrap(true);

    connect(dateandhore, &QComboBox::currentTextChanged, this, &SearchPanel::refreshLabel9);
    connect(dateandhoretext, &QLineEdit::textChanged, this, &SearchPanel::refreshLabel9);
    connect(filesize, &QComboBox::currentTextChanged, this, &SearchPanel::refreshLabel11);
    connect(filesizetext, &QLineEdit::textChanged, this, &SearchPanel::refreshLabel11);
}

void SearchPanel::connectSearch() {
    using library::FileSearch;
    connect(search_, &FileSearch::runningChanged, this, [this](bool running) {
        Command1->setText(running ? kStop : kSearch);
        Drive1->setEnabled(!running);
        if (running)
            results_.results().clear();
    });
    connect(search_, &FileSearch::found, this, [this](const QStringList& batch) {
        results_.results().append(batch);
        results_.lsearch->scrollToBottom();
    });
    connect(search_, &FileSearch::finished, this,
            [this](const QStringList& kept, bool stopped, qulonglong skipped) {
                results_.results().replace(kept);
                emit searchFinished(stopped, skipped);
            });
}

SearchInputs SearchPanel::inputs() const {
    SearchInputs in;
    in.startFolder = Text3->text();
    in.kind = oimage->isChecked() ? SearchInputs::Kind::Pictures : SearchInputs::Kind::Flash;
    in.dateOperator = dateandhore->currentText();
    in.dateValue = dateandhoretext->text();
    in.sizeOperator = filesize->currentText();
    in.sizeValue = filesizetext->text();
    in.nameText = searchfile->text();
    return in;
}

void SearchPanel::Command1_Click() {
    searchsettings->hide();
    if (const auto message = search_->startOrStop(inputs()))
        boxes_.message(*message);
}

void SearchPanel::Command9_Click() {
    // The folder tree is filled the first time the options open, not at start-up.
    if (!Dir1->rootIndex().isValid())
        Drive1_Change();
    searchsettings->setVisible(!searchsettings->isVisible());
    searchsettings->raise();
}

void SearchPanel::Drive1_Change() {
    // A drive that is not ready leaves the folder tree as it was.
    const QString root = Drive1->currentText();
    if (root.isEmpty() || !QDir(root).exists())
        return;
    Dir1->setRootIndex(folders_->setRootPath(root));
}

void SearchPanel::Dir1_Change() {
    const QString folder = folders_->filePath(Dir1->currentIndex());
    if (!folder.isEmpty())
        Text3->setText(withTrailingSlash(folder));
}

void SearchPanel::refreshLabel9() {
    if (const auto caption = library::SearchSummary::dateRule(dateandhore->currentText(), dateandhoretext->text()))
        Label9->setText(*caption);
}

void SearchPanel::refreshLabel11() {
    Label11->setText(library::SearchSummary::sizeRule(filesize->currentText(), filesizetext->text()));
}

void SearchPanel::oflash_Click() { results_.showPreviewFor(false); }

void SearchPanel::oimage_Click() { results_.showPreviewFor(true); }

} // namespace nimbrel::player
