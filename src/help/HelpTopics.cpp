#include "help/HelpTopics.h"
#include "help/ProjectContact.h"

namespace nimbrel::help {

namespace {

// Items are indented with four spaces, sub-items with seven.
QStringList playerWindow() {
    return {
        QStringLiteral("【本模块可以实现功能】"),
        QStringLiteral("    1.播放功能：图象编辑、上一个、下一个、播放/暂停、上一帧、下一帧、播放模式、停止、放大、缩小、保存当前播放文件、打开文件、打开URL。"),
        QStringLiteral("    2.其它功能：内存监控、自动播放、窗口置顶、屏幕截图、不透明度、增大音量、减小音量、播放列表。"),
        QStringLiteral("【如何实现】"),
        QStringLiteral("    1.在播放窗口上点击右键，弹出的控制菜单包含全部功能。"),
        QStringLiteral("    2.影片下方的按钮提供主要的播放功能，上方的文字链接提供常用功能。"),
        QStringLiteral("    3.大部分功能都有快捷键，请看“快捷键”模块。"),
    };
}

QStringList playlistPanel() {
    return {
        QStringLiteral("【本模块主要实现功能】"),
        QStringLiteral("    2.可以建立、修改和读取播放列表。"),
        QStringLiteral("【如何实现本模块特有功能】"),
        QStringLiteral("    1.如何添加文件"),
        QStringLiteral("       1.1 在“综合搜索”中搜索文件，从搜索结果添加到播放列表。"),
        QStringLiteral("       1.2 一次打开多个文件，程序会询问是否添加到播放列表。"),
        QStringLiteral("       1.3 在列表上点击右键，选择“添加文件”。"),
        QStringLiteral("    2.如何保存列表"),
        QStringLiteral("       2.1 保存当前的列表。"),
        QStringLiteral("       2.2 删除以前的全部列表并保存当前列表；列表为空时清空已保存的列表。"),
        QStringLiteral("    3.如何读取列表"),
        QStringLiteral("       3.1 点击“全部读取”按钮，读出列表进行编辑。"),
        QStringLiteral("       3.2 点击正在播放栏旁边的小按钮，选择“重新读取”，读入播放列表菜单。"),
        QStringLiteral("    4.其它"),
        QStringLiteral("       4.1 读入播放列表菜单并播放第一个文件，不改变已保存的列表。"),
        QStringLiteral("       4.3 按住Ctrl可以选择多个文件，点击下方的按钮或按DEL键删除。"),
        QStringLiteral("       4.2 把选中的文件添加到SWF TO EXE。"),
        QStringLiteral("       4.4 单击文件可以在右边的黑色区域预览；不能播放的文件显示为空，这不是程序的错误。"),
        QStringLiteral("    5.本模块支持拖放操作。"),
    };
}

QStringList searchPanel() {
    return {
        QStringLiteral("【本模块主要实现功能】"),
        QStringLiteral("    1.综合性的实现 文件搜索。"),
        QStringLiteral(" 【如何实现本模块特有功能】"),
        QStringLiteral("    1.搜索位置：本地磁盘；要搜索浏览器缓存，XP或Vista系统请选择用户配置文件夹。"),
        QStringLiteral("    2.搜索类型：Flash文件和图象文件（jpg、bmp、gif）。"),
        QStringLiteral("    3.搜索规则："),
        QStringLiteral("       3.1 名称包含：文件名中任意位置含有这些字符。"),
        QStringLiteral("       3.2 日期时间：按创建时间的范围或某一天搜索。"),
        QStringLiteral("       3.3 文件大小：按文件的大小搜索。"),
        QStringLiteral("    4.点击搜索按钮开始搜索，请耐心等待。"),
        QStringLiteral("    5.按住Ctrl可以多选，按DEL键或点击提示按钮删除。"),
        QStringLiteral("    6.把选中的文件添加到播放列表。"),
        QStringLiteral("    7.把选中的文件添加到SWF TO EXE。"),
        QStringLiteral("    8.单击文件可以在右边预览；预览空白表示文件存在但内容为空。"),
        QStringLiteral("    9.点击“...”按钮选择保存的文件夹。"),
        QStringLiteral("    10.把选中的文件保存到这个文件夹。"),
        QStringLiteral("    11.浏览这个文件夹。"),
    };
}

QStringList converterPanel() {
    return {
        QStringLiteral("【本模块主要实现功能】"),
        QStringLiteral("    1.Flash文件的转换"),
        QStringLiteral("【如何实现本模块特有功能】"),
        QStringLiteral("    1.用上方的按钮添加文件，也可以从播放列表和综合搜索添加。"),
        QStringLiteral("    2.点击“转换”按钮开始转换，并显示转换的进度。"),
        QStringLiteral("    3.点击“打开文件夹”按钮打开输出的文件夹。"),
        QStringLiteral("    4.本模块没有其它功能。"),
    };
}

// The spaces inside these lines are ASCII spaces and line the keys up.
QStringList shortcutKeys() {
    return {
        QStringLiteral("【了解快捷键】"),
        QStringLiteral("【快捷键在处于当前窗口的时候有效】"),
        QStringLiteral("＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝"),
        QStringLiteral("打开文件  O"),
        QStringLiteral("打开URL   U"),
        QStringLiteral("保存当前播放文件 F1"),
        QStringLiteral("播放/暂停  回车"),
        QStringLiteral("上一个     方向左"),
        QStringLiteral("下一个     方向右"),
        QStringLiteral("上一帧     方向上"),
        QStringLiteral("下一帧     方向下"),
        QStringLiteral("放大      ＋ Or F2"),
        QStringLiteral("缩小      － Or F3"),
        QStringLiteral("屏幕截图  ESC"),
        QStringLiteral("屏幕置顶  F12"),
        QStringLiteral("增大音量  PageUp"),
        QStringLiteral("减小音量  PageDown"),
        QStringLiteral("退出      F4"),
        QStringLiteral("【为了与笔记本电脑兼容采用了多个按键】"),
    };
}

QStringList tips() {
    return {
        QStringLiteral("如何最大化:"),
        QStringLiteral("    有两种最大化：双击窗口顶部，窗口连同控制栏一起最大化；"),
        QStringLiteral("    双击影片则全屏播放，没有任何控制栏，只响应鼠标。"),
        QStringLiteral("如何播放播放列表中的文件?"),
        QStringLiteral("    1.一次打开多个文件时，程序会询问是否添加到播放列表。"),
        QStringLiteral("    2.选择“是”添加到播放列表，保存列表后下次还可以使用；"),
        QStringLiteral("    3.选择“否”只放入播放列表菜单。"),
        QStringLiteral("    4.综合搜索找到的文件，用搜索面板的“添加到播放列表”按钮添加。"),
        QStringLiteral("    5.详细内容请看“播放列表”模块。"),
        QStringLiteral("自动播放是什么意思:"),
        QStringLiteral("    跳过影片中的暂停，继续播放。"),
        QStringLiteral("内存监控是什么意思:"),
        QStringLiteral("    复制一个Flash网络地址，程序立刻打开它，"),
        QStringLiteral("    并且提供下载。"),
        QStringLiteral("窗口置顶是什么意思:"),
        QStringLiteral("    窗口总是显示在"),
        QStringLiteral("    其它重叠窗口的前面。"),
        QStringLiteral("屏幕截图如何使用:"),
        QStringLiteral("    点击菜单中的“屏幕截图”或按Esc键；"),
        QStringLiteral("    如果按Esc键没有开始截图，请再按一次。"),
    };
}

QStringList aboutSoftware() {
    const QString home = ProjectContact::homePage();
    return {
        QStringLiteral("            ") + ProjectContact::productLine(),
        QString(),
        QStringLiteral("【软件附带】XP视觉样式文件、Flash 9控件、转换用的Flash 8播放器、文件系统组件和对话框控件。"),
        QStringLiteral("作者：") + ProjectContact::author(),
        QStringLiteral("主页：") + home,
        QStringLiteral("邮箱：请到主页留言"),
        QStringLiteral("【近期目标】提供更多图象编辑功能，swf TO gif ，自动更新，插件..."),
        QStringLiteral("【使用条款】本软件免费使用和传播，请勿用于违法用途。"),
        QStringLiteral("【合作】欢迎有兴趣的朋友与我们合作，一起把软件做好。"),
        QStringLiteral("【关于程序】为了得到更好的效果建议使用XP系统。"),
        QStringLiteral("本程序难免有BUG，希望您把问题告诉我，把程序做的更好。"),
        QStringLiteral("开发方面的问题请到主页的开发者交流区：") + home,
    };
}

} // namespace

std::array<HelpTopics::MenuItem, 7> HelpTopics::menuItems() {
    return {{
        {1, "MNUBF", QStringLiteral("播放窗体")},
        {2, "MNUBFLB", QStringLiteral("播放列表")},
        {3, "mnuzhss", QStringLiteral("综合搜索")},
        {4, "mnuste", QStringLiteral("SWF TO EXE")},
        {5, "MNUKJJ", QStringLiteral("快捷键")},
        {6, "MNUSYJQ", QStringLiteral("使用技巧")},
        {7, "MNUQT", QStringLiteral("关于软件")},
    }};
}

QStringList HelpTopics::lines(int number) {
    switch (number) {
    case 1: return playerWindow();
    case 2: return playlistPanel();
    case 3: return searchPanel();
    case 4: return converterPanel();
    case 5: return shortcutKeys();
    case 6: return tips();
    case 7: return aboutSoftware();
    default: return {};
    }
}

QString HelpTopics::text(int number) {
    QString out;
    for (const QString& line : lines(number))
        out += QStringLiteral("\r\n") + line;
    return out;
}

} // namespace nimbrel::help
