#include "help/AboutWindow.h"
#include "help/AboutArtwork.h"
#include "help/AboutLayout.h"
#include "help/ProjectContact.h"
#include "platform/Twips.h"
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace nimbrel::help {

using Control = AboutLayout::Control;

AboutWindow::AboutWindow(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("about");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption());
    setMouseTracking(true);

    const double dx = platform::Twips::dpiX(this);
    const double dy = platform::Twips::dpiY(this);
    setFixedSize(AboutLayout::clientPixels(dx, dy));

    auto label = [&](const char* name, const QString& text, Control at) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(AboutLayout::pixels(at, dx, dy));
        return l;
    };
    Image2 = label("Image2", QString(), Control::Image2);
    Image2->setPixmap(AboutArtwork::banner());
    Image2->setScaledContents(true);
    Image1 = label("Image1", QString(), Control::Image1);
    Image1->setPixmap(AboutArtwork::icon());
    Image1->setScaledContents(true);
    Label1 = label("Label1", versionText(), Control::Label1);
    Label2 = label("Label2", makerText(), Control::Label2);
    Label3[1] = label("Label3(1)", authorText(), Control::Label3Author);
    Label3[0] = label("Label3(0)", contactText(), Control::Label3Contact);
    Label4 = label("Label4", disclaimerText(), Control::Label4);
    for (QLabel* l : Label3) {
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }

    Line1 = new QFrame(this);
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    const QLine sep = AboutLayout::separatorPixels(dx, dy);
    // A sunken line is two pixels tall; its upper pixel sits on the separator's row.
    Line1->setGeometry(sep.x1(), sep.y1(), sep.x2() - sep.x1(), 2);

    Command1 = new QPushButton(QStringLiteral("关闭"), this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(AboutLayout::pixels(Control::Command1, dx, dy));
    connect(Command1, &QPushButton::clicked, this, &AboutWindow::Command1_Click);

    Form_Load();
}

QString AboutWindow::caption() { return QStringLiteral("关于软件"); }
QString AboutWindow::versionText() { return QStringLiteral("版本：") + ProjectContact::version(); }
QString AboutWindow::makerText() { return QStringLiteral("本软件由 Nimbrel 项目制作，免费提供。"); }
QString AboutWindow::authorText() { return QStringLiteral("作者：") + ProjectContact::author(); }
QString AboutWindow::contactText() {
    QString home = ProjectContact::homePage();
    home.remove(QStringLiteral("https://"));
    if (home.endsWith(QLatin1Char('/')))
        home.chop(1);
    return QStringLiteral("联系：") + home;
}
QString AboutWindow::disclaimerText() {
    return QStringLiteral("本软件按现状提供，使用后果由使用者自负。");
}

void AboutWindow::Form_Load() {
    // In front of every other window, a topmost main window included: the window
    // system keeps a window above the one it belongs to.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    normalColour_ = QColor(0, 0, 0);
    // Blue, 0xFF0000 in the system's blue-green-red order.
    hoverColour_ = QColor(0, 0, 0xFF);
    for (QLabel* l : Label3)
        setLabelColour(l, normalColour_);
}

void AboutWindow::Form_MouseMove() {
    for (QLabel* l : Label3)
        setLabelColour(l, normalColour_);
}

void AboutWindow::Label3_MouseMove(int index) {
    if (index >= 0 && index < static_cast<int>(Label3.size()))
        setLabelColour(Label3[index], hoverColour_);
}

void AboutWindow::Command1_Click() { close(); }

void AboutWindow::setLabelColour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        for (int i = 0; i < static_cast<int>(Label3.size()); ++i) {
            if (watched == Label3[i]) {
                Label3_MouseMove(i);
                // Handled here: passed on, it would reach the window as a move over its free area.
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AboutWindow::mouseMoveEvent(QMouseEvent* event) {
    // Moves over the other labels, the pictures and the button reach the window
    // too; only the free area resets the contact labels.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

} // namespace nimbrel::help
