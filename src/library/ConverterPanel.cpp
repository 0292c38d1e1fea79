#include "library/ConverterPanel.h"
#include "library/ConversionReport.h"
#include "library/ConversionRun.h"
#include "library/ListDropEvents.h"
#include "library/ProjectorOutputName.h"
#include "library/SideList.h"
#include "SwfFilesPrompt.h"
#include "platform/CommonDialog.h"
#include "platform/DesktopFolderOpener.h"
#include "platform/MessageBoxes.h"
#include "platform/Twips.h"
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>

namespace nimbrel::library {

using platform::CommonDialog;
using platform::Twips;

const QString ConverterPanel::kFolderPickerName = QStringLiteral("不需要点击任何文件.swf");
const QString ConverterPanel::kStubName = QStringLiteral("nimbrel-projector");

namespace {

// The hint sits right of the button; the layout leaves it where it was put.
constexpr int HintLeft = 2760, HintTop = 0, HintWidth = 7200, HintHeight = 375;

void setLightText(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, QColor(0xD8, 0xE0, 0xEA));
    w->setPalette(p);
}
} // namespace

ConverterPanel::ConverterPanel(QWidget* container, Services services, QObject* parent)
    : QObject(parent), services_(std::move(services)), stubPath_(defaultStubPath()),
      desktopOpener_(std::make_unique<platform::DesktopFolderOpener>()), folderOpener_(desktopOpener_.get()) {
    createControls(container);
}

ConverterPanel::~ConverterPanel() {
    // An unfinished run stops after the file it is writing; its result goes nowhere.
    delete run_;
}

QString ConverterPanel::defaultStubPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(kStubName);
}

void ConverterPanel::setFolderOpener(platform::FolderOpener* opener) {
    folderOpener_ = opener ? opener : desktopOpener_.get();
}

void ConverterPanel::createControls(QWidget* container) {
    Command5 = new QPushButton(QStringLiteral("转换单个文件或多个文件"), container);
    Command5->setObjectName("Command5");
    Command5->setToolTip(QStringLiteral("可以一次打开多个文件"));
    connect(Command5, &QPushButton::clicked, this, &ConverterPanel::Command5_Click);

    convert = new QListWidget(container);
    convert->setObjectName("convert");
    convert->setSelectionMode(QAbstractItemView::ExtendedSelection);
    convert->setToolTip(QStringLiteral("支持文件拖放操作  鼠标右键打开菜单"));
    convert->setAcceptDrops(true);
    convert->viewport()->setAcceptDrops(true);
    new ListDropEvents(
        convert->viewport(), [this](const QMimeData& data) { convert_OLEDragDrop(data); },
        [this](Qt::MouseButton button, QPoint at) { convert_MouseDown(button, at); });

    huakuai3 = new QScrollBar(Qt::Horizontal, container);
    huakuai3->setObjectName("huakuai3");
    huakuai3->setRange(0, 100);

    Picture1 = new QFrame(container);
    Picture1->setObjectName("Picture1");
    Picture1->setFrameShape(QFrame::Box);
    Picture1->installEventFilter(this);
    Picture1->hide();
    Image1 = new QWidget(Picture1);
    Image1->setObjectName("Image1");
    Image1->setAutoFillBackground(true);
    QPalette fill = Image1->palette();
    fill.setColor(QPalette::Window, QColor(0x3A, 0x8E, 0xE6));
    Image1->setPalette(fill);
    Image1->setGeometry(0, 0, 0, Picture1->height());

    Label14 = new QLabel(QStringLiteral("       如果转换后的文件为空白说明 该文件源文件存在"), container);
    Label14->setObjectName("Label14");
    setLightText(Label14);
    const double dx = Twips::dpiX(container);
    const double dy = Twips::dpiY(container);
    Label14->setGeometry(Twips::toPixels(HintLeft, dx), Twips::toPixels(HintTop, dy), Twips::toPixels(HintWidth, dx),
                         Twips::toPixels(HintHeight, dy));

    MNUZH = new QMenu(QStringLiteral("转换"), container);
    MNUZH->setObjectName("MNUZH");
    MNUZHUAN = MNUZH->addAction(QStringLiteral("转换"));
    MNUZHUAN->setObjectName("MNUZHUAN");
    MNULL = MNUZH->addAction(QStringLiteral("浏览转换后的文件夹"));
    MNULL->setObjectName("MNULL");
    mnuhen9 = MNUZH->addSeparator();
    mnuhen9->setObjectName("mnuhen9");
    MNUSChu = MNUZH->addAction(QStringLiteral("删除项目（支持ctrl多个选择,DEL删除）"));
    MNUSChu->setObjectName("MNUSChu");
    connect(MNUZHUAN, &QAction::triggered, this, &ConverterPanel::MNUZHUAN_Click);
    connect(MNULL, &QAction::triggered, this, &ConverterPanel::MNULL_Click);
    connect(MNUSChu, &QAction::triggered, this, &ConverterPanel::MNUSChu_Click);
}

void ConverterPanel::addFiles(const QStringList& paths) {
    for (const QString& p : paths)
        SideList::insertSorted(*convert, p);
}

QStringList ConverterPanel::entries() const { return SideList::texts(*convert); }

void ConverterPanel::Command5_Click() {
    addFiles(SwfFilesPrompt::ask(services_.dialog));
}

QStringList ConverterPanel::acceptedDrops(const QMimeData& data) {
    QStringList files;
    if (!data.hasUrls())
        return files;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        // Lower case only, as the list always took them.
        if (path.endsWith(QLatin1String("swf"), Qt::CaseSensitive))
            files << QDir::cleanPath(path);
    }
    return files;
}

void ConverterPanel::convert_OLEDragDrop(const QMimeData& data) { addFiles(acceptedDrops(data)); }

void ConverterPanel::convert_MouseDown(Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::RightButton)
        MNUZH->popup(globalPos);
}

void ConverterPanel::MNUZHUAN_Click() {
    if (run_)
        return;
    CommonDialog& dialog = services_.dialog;
    const QString remembered = services_.readOutputFolder ? services_.readOutputFolder() : QString();
    if (!remembered.isEmpty())
        dialog.setInitDir(remembered);
    dialog.setFileName(kFolderPickerName);
    dialog.ShowSave();
    // A cancelled dialog leaves no path and so no folder.
    const auto folder = ProjectorOutputName::folderOfPickedPath(dialog.FileName());
    if (!folder)
        return;

    Picture1->show();
    MNUZHUAN->setEnabled(false);
    run_ = new ConversionRun(stubPath_, entries(), *folder, this);
    connect(run_, &ConversionRun::progressed, this, &ConverterPanel::showProgress);
    connect(run_, &ConversionRun::finished, this, &ConverterPanel::finishRun);
    run_->start();
}

void ConverterPanel::showProgress(int index, int count) {
    if (count > 0)
        Image1->resize(int(qint64(Picture1->width()) * index / count), Picture1->height());
}

void ConverterPanel::finishRun(const ProjectorWriter::Result& result) {
    ConversionRun* run = run_;
    run_ = nullptr;
    Image1->resize(Picture1->width(), Picture1->height());
    const ConversionReport::Message m = ConversionReport::forResult(result);
    services_.boxes.message(m.text, QString(), m.icon);
    Picture1->hide();

    // The converted entries leave the list; files added while the run went on stay.
    QStringList remaining = entries();
    for (const QString& done : run->sources())
        remaining.removeOne(done);
    convert->clear();
    convert->addItems(remaining);

    if (services_.writeOutputFolder)
        services_.writeOutputFolder(run->folder());
    MNUZHUAN->setEnabled(true);
    run->deleteLater();
    emit conversionFinished(result);
}

void ConverterPanel::MNULL_Click() {
    const QString folder = services_.readOutputFolder ? services_.readOutputFolder() : QString();
    folderOpener_->openFolder(folder);
}

void ConverterPanel::MNUSChu_Click() { SideList::deleteSelected(*convert); }

bool ConverterPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::Resize) {
        Image1->resize(Image1->width(), Picture1->height());
        return false;
    }
    return false;
}

} // namespace nimbrel::library
