// The command table: one handler per command whichever way it is reached, keys
// served in table order, and the keys a focused field or movie keeps.
#include "player/CommandTable.h"
#include <QAction>
#include <QSet>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <set>

using nimbrel::player::Command;
using nimbrel::player::CommandTable;
using KeyStroke = CommandTable::KeyStroke;

namespace {

// The keys pressed in one tick; each take clears its press, as the latch does.
struct PressedKeys {
    std::multiset<std::pair<int, bool>> down; // (Qt key, on the numeric pad)
    std::vector<int> taken;
    bool take(const KeyStroke& k) {
        taken.push_back(k.qtKey);
        for (auto it = down.begin(); it != down.end(); ++it) {
            if (it->first == k.qtKey && (!k.keypadOnly || it->second)) {
                down.erase(it);
                return true;
            }
        }
        return false;
    }
};

std::vector<Command> due(PressedKeys& keys, std::function<bool(const KeyStroke&)> held = [](const KeyStroke&) { return false; }) {
    return CommandTable::dueCommands([&](const KeyStroke& k) { return keys.take(k); }, held);
}

TEST(CommandTable, EveryCommandOnceWithUniqueMenuItemsAndButtons) {
    QSet<int> ids;
    QSet<QString> names;
    std::map<int, Command> buttons;
    for (const auto& d : CommandTable::definitions()) {
        EXPECT_FALSE(ids.contains(int(d.id)));
        ids.insert(int(d.id));
        EXPECT_EQ(&CommandTable::definition(d.id), &d);
        if (d.menuName) {
            EXPECT_FALSE(names.contains(d.menuName)) << d.menuName;
            names.insert(d.menuName);
        }
        if (d.button >= 0)
            buttons.emplace(d.button, d.id);
    }
    ASSERT_EQ(buttons.size(), 6u);
    const std::map<int, Command> want{{0, Command::PlayPause},     {1, Command::Stop},
                                      {2, Command::PreviousMovie}, {3, Command::PreviousFrame},
                                      {4, Command::NextFrame},     {5, Command::NextMovie}};
    EXPECT_EQ(buttons, want);
    EXPECT_EQ(CommandTable::forButton(6), nullptr);
    EXPECT_EQ(CommandTable::forButton(-1), nullptr);
}

TEST(CommandTableKeys, PressedKeysFireInTableOrderEachOnce) {
    struct Case {
        const char* what;
        std::multiset<std::pair<int, bool>> down;
        std::vector<Command> want;
    };
    const std::vector<Case> cases = {
        {"nothing pressed", {}, {}},
        {"the order of the table, not of the presses",
         {{Qt::Key_F12, false}, {Qt::Key_Right, false}, {Qt::Key_Return, false}},
         {Command::PlayPause, Command::NextMovie, Command::Topmost}},
        {"F2 and numeric-pad + together zoom once", {{Qt::Key_F2, false}, {Qt::Key_Plus, true}}, {Command::ZoomIn}},
        {"the + of the main keys is no zoom", {{Qt::Key_Plus, false}}, {}},
        {"numeric-pad minus zooms out", {{Qt::Key_Minus, true}}, {Command::ZoomOut}},
        {"Enter of the numeric pad plays too", {{Qt::Key_Enter, true}}, {Command::PlayPause}},
        {"letters and editing keys", {{Qt::Key_Delete, false}, {Qt::Key_U, false}, {Qt::Key_O, false}},
         {Command::OpenFiles, Command::OpenAddress, Command::DeleteLines}},
        {"volume, capture, save, close",
         {{Qt::Key_PageDown, false}, {Qt::Key_Escape, false}, {Qt::Key_F1, false}, {Qt::Key_F4, false}, {Qt::Key_PageUp, false}},
         {Command::VolumeUp, Command::VolumeDown, Command::Capture, Command::SaveMovie, Command::Close}},
    };
    for (const Case& c : cases) {
        PressedKeys keys{c.down, {}};
        EXPECT_EQ(due(keys), c.want) << c.what;
        for (const auto& [key, pad] : keys.down)
            EXPECT_TRUE(key == Qt::Key_Plus && !pad) << c.what << ": every key of the table pressed was taken";
    }
}

TEST(CommandTableKeys, BothKeysOfAZoomAreQueriedEveryTick) {
    // F2 alone still clears a stale numeric-pad press, so it cannot fire a tick later.
    PressedKeys keys{{{Qt::Key_F2, false}, {Qt::Key_Plus, true}}, {}};
    EXPECT_EQ(due(keys), std::vector<Command>{Command::ZoomIn});
    EXPECT_EQ(due(keys), std::vector<Command>{});
    EXPECT_EQ(std::count(keys.taken.begin(), keys.taken.end(), int(Qt::Key_Plus)), 2);
    EXPECT_EQ(std::count(keys.taken.begin(), keys.taken.end(), int(Qt::Key_F2)), 2);
}

TEST(CommandTableKeys, AKeyHeldByTheFocusedFieldOrMovieStaysThereButFunctionKeysStillFire) {
    PressedKeys keys{{{Qt::Key_O, false},
                      {Qt::Key_Right, false},
                      {Qt::Key_Return, false},
                      {Qt::Key_F1, false},
                      {Qt::Key_F2, false},
                      {Qt::Key_F3, false},
                      {Qt::Key_F4, false},
                      {Qt::Key_F12, false},
                      {Qt::Key_Escape, false},
                      {Qt::Key_PageUp, false}},
                     {}};
    const auto fired = due(keys, [](const KeyStroke&) { return true; });
    EXPECT_EQ(fired, (std::vector<Command>{Command::ZoomIn, Command::ZoomOut, Command::Capture, Command::SaveMovie,
                                           Command::Close, Command::Topmost}));
    EXPECT_TRUE(keys.down.empty()) << "a key kept by the field is still taken, not left for later";

    // Only the key the movie takes stays with it.
    PressedKeys two{{{Qt::Key_Right, false}, {Qt::Key_Left, false}}, {}};
    EXPECT_EQ(due(two, [](const KeyStroke& k) { return k.qtKey == Qt::Key_Right; }),
              std::vector<Command>{Command::PreviousMovie});
}

TEST(CommandTableBindings, MenuItemsRunTheBoundHandlerWhileTheRuleAllows) {
    CommandTable table;
    int runs = 0;
    bool allowed = true;
    table.bind(Command::NextMovie, [&] { ++runs; }, [&] { return allowed; });
    QAction item;
    table.connectMenuItem(Command::NextMovie, &item);

    item.trigger();
    EXPECT_TRUE(table.run(Command::NextMovie));
    EXPECT_EQ(runs, 2);

    allowed = false;
    table.refreshMenus();
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(table.run(Command::NextMovie));
    EXPECT_EQ(runs, 2);

    allowed = true;
    table.refreshMenus();
    EXPECT_TRUE(item.isEnabled());
    // A command nobody bound does nothing and reads as disabled.
    EXPECT_FALSE(table.run(Command::Stop));
    EXPECT_FALSE(table.isEnabled(Command::Stop));
}

} // namespace
