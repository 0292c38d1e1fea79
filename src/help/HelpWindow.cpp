#include "help/HelpWindow.h"
#include "help/HelpTopics.h"
#include "platform/Twips.h"
#include <QAction>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace nimbrel::help {

using platform::Twips;

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("flashhelp");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption());

    menuBar = new QMenuBar(this);
    menuBar->setObjectName("menuBar");
    // The bar belongs to this window even where the desktop has a global menu.
    menuBar->setNativeMenuBar(false);
    MNUMK = menuBar->addMenu(QStringLiteral("模块"));
    MNUMK->setObjectName("MNUMK");
    const auto items = HelpTopics::menuItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* a = MNUMK->addAction(items[i].caption);
        a->setObjectName(QString::fromLatin1(items[i].name));
        const int number = items[i].number;
        connect(a, &QAction::triggered, this, [this, number] { frmhelp(number); });
        topicItems[i] = a;
    }

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The key table lines its keys up with spaces: a Chinese character must be
    // exactly two Latin ones wide.
    QFont fixed = Text1->font();
    fixed.setFamilies({QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("monospace")});
    fixed.setStyleHint(QFont::TypeWriter);
    Text1->setFont(fixed);

    // The design size is the client area under the menu bar.
    const int barHeight = menuBar->sizeHint().height();
    resize(Twips::toPixels(DesignWidth, Twips::dpiX(this)),
           Twips::toPixels(DesignHeight, Twips::dpiY(this)) + barHeight);
    Form_Load();
    Form_Resize();
}

QString HelpWindow::caption() { return QStringLiteral("帮助中心"); }

void HelpWindow::Form_Load() { frmhelp(HelpTopics::Tips); }

void HelpWindow::frmhelp(int index) {
    // Built afresh every time, so choosing a topic again never appends to it.
    text_ = HelpTopics::text(index);
    topic_ = (index >= HelpTopics::First && index <= HelpTopics::Last) ? index : 0;
    // The box shows lines; it keeps them with its own line ends.
    QString shown = text_;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text1->setPlainText(shown);
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void HelpWindow::Form_Resize() {
    // The box fills everything under the menu bar, never leaving a margin.
    const int barHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, width(), barHeight);
    Text1->setGeometry(0, barHeight, width(), qMax(0, height() - barHeight));
}

} // namespace nimbrel::help
