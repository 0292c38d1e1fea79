#include "player/CommandTable.h"
#include <QAction>
#include <QMenu>
#include <Qt>

namespace nimbrel::player {

namespace {
using Key = CommandTable::KeyStroke;
constexpr Key none{};
constexpr Key key(int k) { return {k, false, false}; }
constexpr Key padKey(int k) { return {k, true, false}; }
constexpr Key served(int k) { return {k, false, true}; }
} // namespace

const std::vector<CommandTable::Definition>& CommandTable::definitions() {
    // The order is the order in which keys pressed in one tick are served.
    static const std::vector<Definition> table = {
        {Command::PlayPause, "MNUPLAY", "播放/暂停   回车", {key(Qt::Key_Return), key(Qt::Key_Enter)}, 0},
        {Command::PreviousMovie, "mnuup", "上一个   方向左", {key(Qt::Key_Left), none}, 2},
        {Command::NextMovie, "MNUXIAYIGE", "下一个   方向右", {key(Qt::Key_Right), none}, 5},
        {Command::PreviousFrame, "mnusyz", "上一帧   方向上", {key(Qt::Key_Up), none}, 3},
        {Command::NextFrame, "MNUXYZ", "下一帧   方向下", {key(Qt::Key_Down), none}, 4},
        {Command::ZoomIn, "MNUfd", "放大      (+)Or(F2)", {padKey(Qt::Key_Plus), served(Qt::Key_F2)}, -1},
        {Command::ZoomOut, "MNUSx", "缩小      (-)Or(F3)", {padKey(Qt::Key_Minus), served(Qt::Key_F3)}, -1},
        {Command::OpenFiles, "MNUOPEN", "打开文件  O", {key(Qt::Key_O), none}, -1},
        {Command::OpenAddress, "MNUOPENURL", "打开URL   U", {key(Qt::Key_U), none}, -1},
        {Command::VolumeUp, "MNUPAGEU", "增大音量  (Page Up)", {key(Qt::Key_PageUp), none}, -1},
        {Command::VolumeDown, "MNUPAGED", "减小音量  (Page Down)", {key(Qt::Key_PageDown), none}, -1},
        {Command::Capture, "MNUSNP", "屏幕截图  (Esc)", {served(Qt::Key_Escape), none}, -1},
        {Command::SaveMovie, "MNUDQ", "保存当前播放文件   (F1)", {served(Qt::Key_F1), none}, -1},
        {Command::Close, "MNUTC", "退出      (F4)", {served(Qt::Key_F4), none}, -1},
        {Command::Topmost, "MNUCKZD", "窗口置顶  (F12)", {served(Qt::Key_F12), none}, -1},
        {Command::DeleteLines, nullptr, "", {key(Qt::Key_Delete), none}, -1},
        {Command::Stop, "MNUTZ", "停止", {none, none}, 1},
        {Command::AutoPlay, "MNUZDBF", "自动播放", {none, none}, -1},
        {Command::ClipboardWatch, "MNUNCJK", "内存监控", {none, none}, -1},
        {Command::ImageEditor, "mnutxbj", "图象编辑", {none, none}, -1},
        {Command::AddToPlaylist, "MNUOPEN2", "添加文件（支持打开多个）", {none, none}, -1},
        {Command::ReadPlaylist, "MNUDU", "读取列表", {none, none}, -1},
        {Command::SavePlaylist, "MNUBCDA", "保存当前列表", {none, none}, -1},
        {Command::ReplaceStoredPlaylist, "MNUSCYQSY", "删除以前所有保存当前列表", {none, none}, -1},
        {Command::SelectAllPlaylist, "MNUQX", "全选", {none, none}, -1},
        {Command::InvertPlaylistSelection, "mnufx", "反选", {none, none}, -1},
        {Command::SelectNoPlaylist, "MNUBX", "不选", {none, none}, -1},
        {Command::DeletePlaylistEntries, "mnudel", "删除项目（支持ctrl多个选择,DEL删除）", {none, none}, -1},
        {Command::PlaylistToConverter, "mnuswftoexe", "添加到SWF TO EXE", {none, none}, -1},
        {Command::PlaylistToQuickPlay, "mnukj", "加载到快捷播放列表", {none, none}, -1},
        {Command::SaveResultCopies, "MNUSAVEW", "保存文件", {none, none}, -1},
        {Command::OpenResultFolder, "MNULLBCH", "浏览保存后的文件夹", {none, none}, -1},
        {Command::SelectAllResults, "mnuquanx", "全选", {none, none}, -1},
        {Command::InvertResultSelection, "mnufanx", "反选", {none, none}, -1},
        {Command::SelectNoResults, "mnubux", "不选", {none, none}, -1},
        {Command::RemoveResults, "MNUSDEL", "删除项目（支持ctrl多个选择,DEL删除）", {none, none}, -1},
        {Command::ResultsToConverter, "MNUSTE", "添加到SWF TO EXE", {none, none}, -1},
        {Command::ResultsToPlaylist, "MNUTJBFLB", "添加到播放列表", {none, none}, -1},
    };
    return table;
}

const CommandTable::Definition& CommandTable::definition(Command id) {
    for (const Definition& d : definitions())
        if (d.id == id)
            return d;
    return definitions().front();
}

const CommandTable::Definition* CommandTable::forButton(int button) {
    if (button < 0)
        return nullptr;
    for (const Definition& d : definitions())
        if (d.button == button)
            return &d;
    return nullptr;
}

QAction* CommandTable::addMenuItem(QMenu* menu, Command id) {
    const Definition& d = definition(id);
    QAction* item = menu->addAction(QString::fromUtf8(d.caption));
    if (d.menuName)
        item->setObjectName(QString::fromUtf8(d.menuName));
    return item;
}

CommandTable::CommandTable(QObject* parent) : QObject(parent), bindings_(definitions().size()) {}

namespace {
size_t indexOf(Command id) { return static_cast<size_t>(id); }
} // namespace

void CommandTable::bind(Command id, Handler handler, Rule enabled) {
    Binding& b = bindings_.at(indexOf(id));
    b.handler = std::move(handler);
    b.enabled = std::move(enabled);
}

bool CommandTable::isEnabled(Command id) const {
    const Binding& b = bindings_.at(indexOf(id));
    return b.handler && (!b.enabled || b.enabled());
}

bool CommandTable::run(Command id) {
    if (!isEnabled(id))
        return false;
    // A copy: the handler may rebind or end the window that owns the table.
    const Handler h = bindings_.at(indexOf(id)).handler;
    h();
    return true;
}

std::vector<Command> CommandTable::dueCommands(const std::function<bool(const KeyStroke&)>& takePress,
                                               const std::function<bool(const KeyStroke&)>& heldElsewhere) {
    std::vector<Command> due;
    for (const Definition& d : definitions()) {
        bool fired = false;
        for (const KeyStroke& k : d.keys) {
            if (!k.qtKey || !takePress(k))
                continue;
            if (k.alwaysServed || !heldElsewhere(k))
                fired = true;
        }
        if (fired)
            due.push_back(d.id);
    }
    return due;
}

void CommandTable::connectMenuItem(Command id, QAction* item) {
    bindings_.at(indexOf(id)).item = item;
    connect(item, &QAction::triggered, this, [this, id] { run(id); });
}

void CommandTable::refreshMenus() {
    for (size_t i = 0; i < bindings_.size(); ++i)
        if (bindings_[i].item)
            bindings_[i].item->setEnabled(isEnabled(static_cast<Command>(i)));
}

} // namespace nimbrel::player
