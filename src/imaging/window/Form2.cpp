#include "imaging/window/Form2.h"
#include "imaging/CanvasSaving.h"
#include "imaging/Palette.h"
#include "imaging/PictureFile.h"
#include "imaging/TextStamp.h"
#include "imaging/ToolPicture.h"
#include "imaging/window/CanvasView.h"
#include "imaging/window/TextInsertion.h"
#include "imaging/window/TextToolbar.h"
#include "platform/MessageBoxes.h"
#include "platform/CommonDialog.h"
#include "platform/DialogCancelled.h"
#include "platform/Twips.h"
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
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
const QString Form2::kEraserCaption = QStringLiteral("按住橡皮擦 再按方向 上键 和 下键 可以调整橡皮擦大小");
const QString Form2::kTextCaption = QStringLiteral("插入文字");
const QString Form2::kSelectCaption = QStringLiteral("选区/裁剪");
const QString Form2::kCropCaption = QStringLiteral("裁剪");

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
    Picture1->setMouseTracking(true);
    Picture1->installEventFilter(this);
    tools_.setSurface(Picture1->canvas().surface());

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
    createCanvasTools();
    createTextTools();
    setCurrentColour(Qt::black);

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
    mnucz->addSeparator();
    mnuundo = item("mnuundo", "撤销", QKeySequence(Qt::CTRL | Qt::Key_Z), &Form2::mnuundo_Click);
    mnuredo = item("mnuredo", "重做", QKeySequence(Qt::CTRL | Qt::Key_Y), &Form2::mnuredo_Click);
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

    Command2 = new QPushButton(QStringLiteral("自定义颜色"), Picture2);
    Command2->setObjectName("Command2");
    Command2->setGeometry(6, 16 + Palette::Height + 4, 100, 24);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);

    const int row = 16 + Palette::Height + 4;
    Command2->setGeometry(6, row, 84, 24);
    Command1 = new QPushButton(kTextCaption, Picture2);
    Command1->setObjectName("Command1");
    Command1->setGeometry(92, row, 84, 24);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    Command3 = new QPushButton(kSelectCaption, Picture2);
    Command3->setObjectName("Command3");
    Command3->setGeometry(178, row, 84, 24);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);

    Combo1 = new QComboBox(Picture2);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->addItems(QFontDatabase::families());
    Combo1->setEditText(QStringLiteral("黑体"));
    Combo1->setGeometry(6, row + 28, 170, 24);
    Combo2 = new QComboBox(Picture2);
    Combo2->setObjectName("Combo2");
    Combo2->setEditable(true);
    Combo2->addItems({"8", "9", "10", "12", "14", "16", "18", "20", "24", "32", "48", "72"});
    Combo2->setEditText("10");
    Combo2->setGeometry(178, row + 28, 84, 24);

    Image1 = new QLabel(Picture2);
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap::fromImage(ToolPicture::draw()));
    Image1->setGeometry(Palette::Width + 12, 16, 2 * ToolPicture::Cell, 4 * ToolPicture::Cell);
    const char* tips[] = {"橡皮擦", "直线", "矩形", "圆", "铅笔", "刷子"};
    for (int i = 0; i < int(Label2.size()); ++i) {
        QLabel* l = Label2[i] = new QLabel(Image1);
        l->setObjectName(QStringLiteral("Label2_%1").arg(i));
        l->setGeometry((i % 2) * ToolPicture::Cell, (i / 2) * ToolPicture::Cell, ToolPicture::Cell, ToolPicture::Cell);
        l->setToolTip(QString::fromUtf8(tips[i]));
        l->installEventFilter(this);
    }

    Picture2->resize(Palette::Width + 12 + 2 * ToolPicture::Cell + 6, row + 28 + 24 + 6);
    Picture2->move(toPixelsX(kDesignClientWidth) - Picture2->width() - 40, toPixelsY(EditorLayout::TopStrip) + 10);
}

double Form2::perPixelX() const { return platform::Twips::perPixel(platform::Twips::dpiX(this)); }
double Form2::perPixelY() const { return platform::Twips::perPixel(platform::Twips::dpiY(this)); }
int Form2::toPixelsX(double twips) const { return EditorLayout::whole(twips / perPixelX()); }
int Form2::toPixelsY(double twips) const { return EditorLayout::whole(twips / perPixelY()); }

void Form2::setPicture(const QImage& picture) {
    recordChange();
    showPicture(picture);
}

void Form2::showPicture(const QImage& picture) {
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
    tools_.setColour(c);
    text_->setColour(c);
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

void Form2::Picture4_MouseDown(QPoint at) {
    const QColor colour = Palette::pick(at);
    setCurrentColour(colour);
    setFrameColour(colour);
}

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

void Form2::mnucls_Click() {
    recordChange();
    Picture1->clear();
}

void Form2::mnutc_Click() { close(); }

void Form2::placeClient() {
    const int menuHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, width(), menuHeight);
    client->setGeometry(0, menuHeight, width(), qMax(0, height() - menuHeight));
    // A window shrunk to a small picture keeps its tool panel within reach.
    Picture2->move(qBound(0, Picture2->x(), qMax(0, client->width() - Picture2->width())),
                   qBound(0, Picture2->y(), qMax(0, client->height() - Picture2->height())));
}

void Form2::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    placeClient();
    Timer1.start();
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease;
    if (watched == Picture1 && mouse) {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint at = e->position().toPoint();
        if (type == QEvent::MouseButtonPress)
            Picture1_MouseDown(at);
        else if (type == QEvent::MouseMove)
            Picture1_MouseMove(e->buttons(), at);
        else
            Picture1_MouseUp(at);
        return true;
    }
    if (watched == Picture3 && mouse) {
        // The eraser box is dragged by hand; it paints where it is let go.
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint global = e->globalPosition().toPoint();
        if (type == QEvent::MouseButtonPress) {
            Timer2.stop();
            draggingEraser_ = true;
            eraserGrab_ = global - Picture3->pos();
        } else if (type == QEvent::MouseMove && draggingEraser_) {
            Picture3->move(global - eraserGrab_);
        } else if (type == QEvent::MouseButtonRelease && draggingEraser_) {
            draggingEraser_ = false;
            Picture3_DragEnded();
        }
        return true;
    }
    for (int i = 0; i < int(Label2.size()); ++i) {
        if (watched == Label2[i] && type == QEvent::MouseButtonPress) {
            Label2_Click(i);
            return true;
        }
    }
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

void Form2::createCanvasTools() {
    Picture3 = new QLabel(Picture1);
    Picture3->setObjectName("Picture3");
    Picture3->setStyleSheet("background: white");
    Picture3->setFocusPolicy(Qt::ClickFocus);
    eraserSize_ = QSizeF(toPixelsX(255), toPixelsY(255));
    Picture3->resize(eraserPixels());
    Picture3->installEventFilter(this);
    Picture3->hide();
    Picture3->setEnabled(false);

    Timer2.setInterval(10);
    connect(&Timer2, &QTimer::timeout, this, &Form2::Timer2_Timer);

    Shape1 = new QFrame(Picture1);
    Shape1->setObjectName("Shape1");
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->hide();
    setFrameColour(Qt::black);
}

void Form2::createTextTools() {
    text_ = new TextInsertion(Picture1, client, Combo1, Combo2, [this](double twips) { return toPixelsY(twips); });
    Text1 = text_->box;
    Label3 = text_->preview;
    Picture6 = text_->toolbar;
    connect(Picture6->Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Picture6->Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Picture6->Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    connect(Picture6->Command8, &QPushButton::clicked, this, &Form2::Command8_Click);
}

QSize Form2::eraserPixels() const {
    return QSize(qMax(1, EditorLayout::whole(eraserSize_.width())), qMax(1, EditorLayout::whole(eraserSize_.height())));
}

void Form2::setFrameColour(QColor c) {
    frameColour_ = c;
    Shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 1px solid %1; background: transparent }").arg(c.name()));
}

void Form2::clearToolBorders() {
    for (QLabel* l : Label2)
        l->setFrameShape(QFrame::NoFrame);
}

void Form2::recordChange() { history_.record(Picture1->canvas().image()); }

void Form2::mnuundo_Click() {
    if (tools_.dragging() || selection_.selecting())
        return;
    Timer2.stop();
    if (const auto back = history_.undo(Picture1->canvas().image()))
        showPicture(*back);
}

void Form2::mnuredo_Click() {
    if (tools_.dragging() || selection_.selecting())
        return;
    Timer2.stop();
    if (const auto next = history_.redo(Picture1->canvas().image()))
        showPicture(*next);
}

void Form2::Label2_Click(int index) {
    clearToolBorders();
    Label2[index]->setFrameShape(QFrame::Box);
    tools_.setMode(index);
    const bool eraser = index == DrawingTools::Eraser;
    setWindowTitle(eraser ? kEraserCaption : kCaption);
    Picture3->setEnabled(eraser);
    Picture3->setVisible(eraser);
    Command3->setText(kSelectCaption);
    Shape1->hide();
}

void Form2::Picture1_MouseDown(QPoint at) {
    if (tools_.mode() == DrawingTools::Selection) {
        selection_.press(at);
        Shape1->setGeometry(QRect(at, QSize(0, 0)));
        return;
    }
    const int mode = tools_.mode();
    if (mode >= DrawingTools::Line && mode <= DrawingTools::Brush) {
        recordChange();
        tools_.press(at);
        Picture1->update();
    }
}

void Form2::Picture1_MouseMove(Qt::MouseButtons buttons, QPoint at) {
    if (!Picture3->isHidden()) {
        if (Timer2.isActive()) {
            Timer2.stop();
        } else {
            Picture3->move(at.x() - EditorLayout::whole(Picture3->width() / 2.0),
                           at.y() - EditorLayout::whole(Picture3->height() / 2.0));
        }
    }
    if (tools_.mode() == DrawingTools::Selection) {
        selection_.move(at, buttons & Qt::LeftButton);
        if (!(buttons & Qt::LeftButton))
            return;
        Shape1->setGeometry(selection_.frame());
        Shape1->setVisible(selection_.frameVisible());
        Shape1->raise();
        return;
    }
    if (tools_.dragging()) {
        tools_.move(at);
        Picture1->update();
    }
}

void Form2::Picture1_MouseUp(QPoint at) {
    if (tools_.mode() != DrawingTools::Selection) {
        tools_.release();
        Picture1->update();
        return;
    }
    if (windowTitle() == kTextCaption) {
        text_->openOn(Shape1->geometry());
        Shape1->hide();
    }
    Picture1->unsetCursor();
    selection_.release(at);
}

void Form2::Picture3_DragEnded() {
    // Up and Down pressed before the box was let go do not count.
    keys_.clear();
    recordChange();
    Timer2.start();
}

void Form2::Timer2_Timer() {
    if (keys_.takePress(Qt::Key_Up))
        eraserSize_ = DrawingTools::resizedBox(eraserSize_, false);
    if (keys_.takePress(Qt::Key_Down))
        eraserSize_ = DrawingTools::resizedBox(eraserSize_, true);
    Picture3->resize(eraserPixels());
    tools_.paintBox(QRectF(Picture3->geometry()));
    Picture1->update();
}

void Form2::Command1_Click() {
    clearToolBorders();
    Picture1->setCursor(Qt::CrossCursor);
    setFrameColour(current_);
    setWindowTitle(kTextCaption);
    tools_.setMode(DrawingTools::Selection);
}

void Form2::Command3_Click() {
    if (Command3->text() == kSelectCaption) {
        clearToolBorders();
        setWindowTitle(kCaption);
        Picture1->setCursor(Qt::CrossCursor);
        setFrameColour(current_);
        tools_.setMode(DrawingTools::Selection);
        Command3->setText(kCropCaption);
        return;
    }
    const std::optional<QImage> cropped = selection_.crop(Picture1->canvas().image());
    bottom->setValue(0);
    mright->setValue(0);
    // An empty selection leaves the picture as it is.
    if (cropped)
        setPicture(*cropped);
    Picture1->update();
    Shape1->hide();
    selection_.hideFrame();
    Command3->setText(kSelectCaption);
    Timer1.start();
}

void Form2::Command5_Click() { text_->showEditing(); }

void Form2::Command6_Click() { text_->showPreview(); }

void Form2::Command7_Click() {
    const QImage before = Picture1->canvas().image();
    if (!text_->insertInto(Picture1->canvas().surface(), current_)) {
        services_.boxes.message(QStringLiteral("字号无效：请输入 1 到 %1 之间的数字").arg(TextStamp::LargestSize),
                                QString(), platform::MessageBoxes::Icon::Exclamation);
        return;
    }
    history_.record(before);
    Picture1->update();
}

void Form2::Command8_Click() { text_->close(); }

} // namespace nimbrel::imaging
