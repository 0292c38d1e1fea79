#include "player/MainMenus.h"
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
} // namespace

MainMenus::MainMenus(QWidget* owner) : QObject(owner) {
    mnukz = new QMenu(QStringLiteral("控制"), owner);
    mnukz->setObjectName("mnukz");
    MNUOPEN = item(mnukz, "MNUOPEN", "打开文件  O");
    MNUOPENURL = item(mnukz, "MNUOPENURL", "打开URL   U");
    mnukz->addSeparator();
    MNUPLAY = item(mnukz, "MNUPLAY", "播放/暂停   回车");
    MNUTZ = item(mnukz, "MNUTZ", "停止");
    mnuup = item(mnukz, "mnuup", "上一个   方向左");
    mnusyz = item(mnukz, "mnusyz", "上一帧   方向上");
    MNUXYZ = item(mnukz, "MNUXYZ", "下一帧   方向下");
    MNUXIAYIGE = item(mnukz, "MNUXIAYIGE", "下一个   方向右");
    mnukz->addSeparator();
    MNUfd = item(mnukz, "MNUfd", "放大      (+)Or(F2)");
    MNUSx = item(mnukz, "MNUSx", "缩小      (-)Or(F3)");
    MNUDQ = item(mnukz, "MNUDQ", "保存当前播放文件   (F1)");
    mnukz->addSeparator();
    MNUPAGEU = item(mnukz, "MNUPAGEU", "增大音量  (Page Up)", false);
    MNUPAGED = item(mnukz, "MNUPAGED", "减小音量  (Page Down)", false);
    mnukz->addSeparator();
    MNUZDBF = item(mnukz, "MNUZDBF", "自动播放", false);
    MNUNCJK = item(mnukz, "MNUNCJK", "内存监控", false);
    MNUCKZD = item(mnukz, "MNUCKZD", "窗口置顶  (F12)", false);
    MNUBTMD = mnukz->addMenu(QStringLiteral("不透明度"));
    MNUBTMD->setObjectName("MNUBTMD");
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "MNUBF" + QByteArray::number((i + 1) * 10);
        const QString caption = QString::number((i + 1) * 10) + QChar(0xFF05); // full-width ％
        MNUBF[i] = MNUBTMD->addAction(caption);
        MNUBF[i]->setObjectName(QString::fromLatin1(name));
        MNUBF[i]->setEnabled(false);
    }
    munbtm2 = item(MNUBTMD, "munbtm2", "不透明", false);
    mnukz->addSeparator();
    MNUSNP = item(mnukz, "MNUSNP", "屏幕截图  (Esc)", false);
    mnutxbj = item(mnukz, "mnutxbj", "图象编辑", false);
    mnukz->addSeparator();
    MNUTC = item(mnukz, "MNUTC", "退出      (F4)");

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

bool MainMenus::shownInBar() const { return mnukz->menuAction()->isVisible(); }

} // namespace nimbrel::player
