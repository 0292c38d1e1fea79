#include "player/MainMenus.h"
#include "player/CommandTable.h"
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace nimbrel::player {

namespace {
QAction* item(QMenu* menu, const char* name, const char* caption, bool enabled = true) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromUtf8(name));
    a->setEnabled(enabled);
    return a;
}
// An item of the command table: its name and caption come from there.
QAction* item(QMenu* menu, Command id) {
    const CommandTable::Definition& d = CommandTable::definition(id);
    return item(menu, d.menuName, d.caption);
}
} // namespace

MainMenus::MainMenus(QWidget* owner) : QObject(owner) {
    mnukz = new QMenu(QStringLiteral("控制"), owner);
    mnukz->setObjectName("mnukz");
    MNUOPEN = item(mnukz, Command::OpenFiles);
    MNUOPENURL = item(mnukz, Command::OpenAddress);
    mnukz->addSeparator();
    MNUPLAY = item(mnukz, Command::PlayPause);
    MNUTZ = item(mnukz, Command::Stop);
    mnuup = item(mnukz, Command::PreviousMovie);
    mnusyz = item(mnukz, Command::PreviousFrame);
    MNUXYZ = item(mnukz, Command::NextFrame);
    MNUXIAYIGE = item(mnukz, Command::NextMovie);
    mnukz->addSeparator();
    MNUfd = item(mnukz, Command::ZoomIn);
    MNUSx = item(mnukz, Command::ZoomOut);
    MNUDQ = item(mnukz, Command::SaveMovie);
    mnukz->addSeparator();
    MNUPAGEU = item(mnukz, Command::VolumeUp);
    MNUPAGED = item(mnukz, Command::VolumeDown);
    mnukz->addSeparator();
    MNUZDBF = item(mnukz, Command::AutoPlay);
    MNUNCJK = item(mnukz, Command::ClipboardWatch);
    MNUCKZD = item(mnukz, Command::Topmost);
    MNUBTMD = mnukz->addMenu(QStringLiteral("不透明度"));
    MNUBTMD->setObjectName("MNUBTMD");
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "MNUBF" + QByteArray::number((i + 1) * 10);
        const QString caption = QString::number((i + 1) * 10) + QChar(0xFF05); // full-width ％
        MNUBF[i] = MNUBTMD->addAction(caption);
        MNUBF[i]->setObjectName(QString::fromLatin1(name));
    }
    munbtm2 = item(MNUBTMD, "munbtm2", "不透明");
    mnukz->addSeparator();
    MNUSNP = item(mnukz, Command::Capture);
    mnutxbj = item(mnukz, Command::ImageEditor);
    mnukz->addSeparator();
    MNUTC = item(mnukz, Command::Close);

    MNUBFFILE = new QMenu(QStringLiteral("播放列表"), owner);
    MNUBFFILE->setObjectName("MNUBFFILE");
    MNUCXDQ = item(MNUBFFILE, "MNUCXDQ", "重新读取");
    mnuwenjian0 = MNUBFFILE->addSeparator();
    mnuwenjian0->setObjectName("mnuwenjian(0)");

    MNUBFMS = new QMenu(QStringLiteral("播放模式"), owner);
    MNUBFMS->setObjectName("MNUBFMS");
    mnuszck = item(MNUBFMS, "mnuszck", "随着窗口大小的改变而改变");
    mnuchang = item(MNUBFMS, "mnuchang", "长保持比例");
    mnuchanggao = item(MNUBFMS, "mnuchanggao", "长高都保持比例");
    for (QAction* a : {mnuszck, mnuchang, mnuchanggao})
        a->setCheckable(true);

    mnuhelp = new QMenu(QStringLiteral("帮助"), owner);
    mnuhelp->setObjectName("mnuhelp");
    MNUsy = item(mnuhelp, "MNUsy", "使用帮助...");
    MNUOPENWEB = item(mnuhelp, "MNUOPENWEB", "软件更新");
    MNURJ = item(mnuhelp, "MNURJ", "关于软件...");
}

void MainMenus::addTo(QMenuBar* bar) const {
    for (QMenu* m : topLevel())
        bar->addMenu(m);
}

void MainMenus::setShownInBar(bool shown) {
    for (QMenu* m : topLevel())
        m->menuAction()->setVisible(shown);
}

QAction* MainMenus::action(Command id) const {
    const char* name = CommandTable::definition(id).menuName;
    return name ? mnukz->findChild<QAction*>(QString::fromUtf8(name)) : nullptr;
}

bool MainMenus::shownInBar() const { return mnukz->menuAction()->isVisible(); }

} // namespace nimbrel::player
