#include "imaging/window/Form2.h"
#include "imaging/CanvasSaving.h"
#include "imaging/Palette.h"
#include "imaging/PictureFile.h"
#include "imaging/window/CanvasView.h"
#include "platform/CommonDialog.h"
#include "platform/DialogCancelled.h"
#include "platform/Twips.h"
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

namespace nimbrel::imaging {

const QString Form2::kCaption = QStringLiteral("图片预览和编辑");
const QString Form2::kOpenFilter =
    QStringLiteral("位图文件(*.bmp)|*.bmp|JPG文件(*.jpg)|*.jpg|GIF文件(*.gif)|*.gif");

namespace {
void setBackground(QWidget* w, QColor c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}
} // namespace

Form2::Form2(Services services, QWidget* parent) : QWidget(parent), services_(std::move(services)) {
    setObjectName("Form2");
    setWindowTitle(kCaption);
    createMenu();
    client = new QWidget(this);
    client->setObjectName("client");
    Picture1 = new CanvasView(client);
    Picture1->move(0, 0);

    bottom = new QScrollBar(Qt::Horizontal, client);
    bottom->setObjectName("bottom");
    mright = new QScrollBar(Qt::Vertical, client);
    mright->setObjectName("mright");
    for (QScrollBar* bar : {bottom, mright}) {
        bar->setSingleStep(150);
        bar->hide();
    }
    connect(bottom, &QScrollBar::valueChanged, this, &Form2::bottom_Change);
    connect(mright, &QScrollBar::valueChanged, this, &Form2::mright_Change);

    createToolPanel();

    // The layout settles one tick after each size change.
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    Timer1.start();

    resize(toPixelsX(kDesignClientWidth), toPixelsY(kDesignClientHeight) + menuBar->sizeHint().height());
    placeClient();
}

void Form2::createMenu() {
    menuBar = new QMenuBar(this);
    menuBar->setObjectName("menuBar");
    mnucz = menuBar->addMenu(QStringLiteral("操作"));
    mnucz->setObjectName("mnucz");
    auto item = [this](const char* name, const char* caption, QKeySequence keys, void (Form2::*handler)()) {
        QAction* a = mnucz->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromUtf8(name));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnuopen = item("mnuopen", "打开文件", QKeySequence(Qt::CTRL | Qt::Key_O), &Form2::mnuopen_Click);
    mnubc = item("mnubc", "保存图象", QKeySequence(Qt::CTRL | Qt::Key_S), &Form2::mnubc_Click);
    mnucls = item("mnucls", "清屏", QKeySequence(Qt::Key_F1), &Form2::mnucls_Click);
    mnutc = item("mnutc", "退出", QKeySequence(Qt::Key_F4), &Form2::mnutc_Click);
}

void Form2::createToolPanel() {
    Picture2 = new QFrame(client);
    Picture2->setObjectName("Picture2");
    Picture2->setFrameShape(QFrame::Panel);
    Picture2->setFrameShadow(QFrame::Raised);
    setBackground(Picture2, QColor(0xC0, 0xC0, 0xC0));

    Image2 = new QLabel(Picture2);
    Image2->setObjectName("Image2");
    Image2->setGeometry(2, 2, Palette::Width + 8, 10);
    setBackground(Image2, QColor(0x00, 0x00, 0x80));
    Image2->setCursor(Qt::SizeAllCursor);
    Image2->setToolTip(QStringLiteral("拖动工具栏"));
    Image2->installEventFilter(this);

    Picture4 = new QLabel(Picture2);
    Picture4->setObjectName("Picture4");
    Picture4->setPixmap(QPixmap::fromImage(Palette::picture()));
    Picture4->setGeometry(6, 16, Palette::Width, Palette::Height);
    Picture4->installEventFilter(this);

    Label1 = new QLabel(Picture4);
    Label1->setObjectName("Label1");
    Label1->setGeometry(Palette::currentColourRect());
    Label1->setFrameShape(QFrame::Panel);
    Label1->setFrameShadow(QFrame::Sunken);
    setCurrentColour(Qt::black);

    Command2 = new QPushButton(QStringLiteral("自定义颜色"), Picture2);
    Command2->setObjectName("Command2");
    Command2->setGeometry(6, 16 + Palette::Height + 4, 100, 24);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);

    Picture2->resize(Palette::Width + 12, 16 + Palette::Height + 4 + 24 + 6);
    Picture2->move(toPixelsX(kDesignClientWidth) - Picture2->width() - 40, toPixelsY(EditorLayout::TopStrip) + 10);
}

double Form2::perPixelX() const { return platform::Twips::perPixel(platform::Twips::dpiX(this)); }
double Form2::perPixelY() const { return platform::Twips::perPixel(platform::Twips::dpiY(this)); }
int Form2::toPixelsX(double twips) const { return EditorLayout::whole(twips / perPixelX()); }
int Form2::toPixelsY(double twips) const { return EditorLayout::whole(twips / perPixelY()); }

void Form2::setPicture(const QImage& picture) {
    Picture1->setPicture(picture);
    Timer1.start();
}

QImage Form2::canvasImage() const { return Picture1->canvas().image(); }

QColor Form2::penColour() const { return Picture1->penColour(); }

void Form2::setCurrentColour(QColor c) {
    current_ = c;
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::Window, c);
    Label1->setPalette(pal);
    Label1->setAutoFillBackground(true);
    Picture1->setPenColour(c);
}

EditorLayout::Input Form2::layoutInput() const {
    EditorLayout::Input in;
    in.twipsPerPixelX = perPixelX();
    in.twipsPerPixelY = perPixelY();
    in.canvasLeft = EditorLayout::whole(Picture1->x() * in.twipsPerPixelX);
    in.canvasWidth = EditorLayout::whole(Picture1->width() * in.twipsPerPixelX);
    in.canvasHeight = EditorLayout::whole(Picture1->height() * in.twipsPerPixelY);
    // The window's own size, not the client's: a hidden window gets no resize events.
    in.clientWidth = EditorLayout::whole(width() * in.twipsPerPixelX);
    in.clientHeight = EditorLayout::whole(qMax(0, height() - menuBar->sizeHint().height()) * in.twipsPerPixelY);
    in.mrightWidth = kBarThickness;
    in.bottomHeight = kBarThickness;
    return in;
}

void Form2::applyLayout(const EditorLayout::Result& r) {
    if (r.canvasTop)
        Picture1->move(Picture1->x(), toPixelsY(*r.canvasTop));
    // The window's size is this widget's: the window manager's frame is not ours to count.
    if (r.windowWidth || r.windowHeight) {
        const int w = r.windowWidth ? toPixelsX(*r.windowWidth) : width();
        const int h = r.windowHeight ? toPixelsY(*r.windowHeight) : height();
        resize(w, h);
        placeClient();
    }
    if (r.mright) {
        mright->setGeometry(toPixelsX(r.mright->left), toPixelsY(r.mright->top), toPixelsX(kBarThickness),
                            toPixelsY(r.mright->length));
        mright->setRange(0, qMax(0, r.mright->maximum));
        mright->setPageStep(qMax(1, r.mright->largeChange));
        mright->show();
        mright->raise();
    }
    if (r.bottom) {
        bottom->setGeometry(toPixelsX(r.bottom->left), toPixelsY(r.bottom->top), toPixelsX(r.bottom->length),
                            toPixelsY(kBarThickness));
        bottom->setRange(0, qMax(0, r.bottom->maximum));
        bottom->setPageStep(qMax(1, r.bottom->largeChange));
        bottom->show();
        bottom->raise();
    }
    Picture2->raise();
}

void Form2::Timer1_Timer() {
    Timer1.stop();
    applyLayout(EditorLayout::compute(layoutInput()));
}

void Form2::bottom_Change(int value) { Picture1->move(-toPixelsX(value), Picture1->y()); }

void Form2::mright_Change(int value) { Picture1->move(Picture1->x(), toPixelsY(EditorLayout::TopStrip - value)); }

void Form2::Picture4_MouseDown(QPoint at) { setCurrentColour(Palette::pick(at)); }

void Form2::Command2_Click() {
    platform::CommonDialog& dialog = services_.dialog;
    if (services_.minimizeMain)
        services_.minimizeMain();
    try {
        dialog.ShowColor();
    } catch (const platform::DialogCancelled&) {
        // A cancel leaves the dialog's colour as it was; that colour is applied.
    }
    const quint32 bgr = dialog.Color();
    setCurrentColour(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
}

void Form2::mnuopen_Click() {
    platform::CommonDialog& dialog = services_.dialog;
    if (services_.minimizeMain)
        services_.minimizeMain();
    dialog.setFilter(kOpenFilter);
    try {
        dialog.ShowOpen();
    } catch (const platform::DialogCancelled&) {
        return;
    }
    // Flags are the last user's; with several files chosen the first one is taken.
    const QString path = platform::CommonDialog::unpackFileNames(dialog.FileName()).value(0);
    if (path.isEmpty())
        return;
    if (const std::optional<QImage> picture = PictureFile::read(path))
        setPicture(*picture);
}

void Form2::mnubc_Click() {
    if (services_.minimizeMain)
        services_.minimizeMain();
    CanvasSaving::save(services_.dialog, services_.boxes, canvasImage());
}

void Form2::mnucls_Click() { Picture1->clear(); }

void Form2::mnutc_Click() { close(); }

void Form2::placeClient() {
    const int menuHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, width(), menuHeight);
    client->setGeometry(0, menuHeight, width(), qMax(0, height() - menuHeight));
}

void Form2::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    placeClient();
    Timer1.start();
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture4 && event->type() == QEvent::MouseButtonPress) {
        Picture4_MouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    }
    if (watched == Image2) {
        // The grip drags the tool panel around the window.
        auto* e = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton) {
            draggingPanel_ = true;
            panelGrab_ = e->globalPosition().toPoint() - Picture2->pos();
            return true;
        }
        if (event->type() == QEvent::MouseMove && draggingPanel_) {
            Picture2->move(e->globalPosition().toPoint() - panelGrab_);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            draggingPanel_ = false;
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace nimbrel::imaging
