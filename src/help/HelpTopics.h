#pragma once
// The seven help topics: fixed texts of the program, nothing is read from files.
// Pure data and the rule that joins a topic's lines into the help window's text.
#include <QString>
#include <QStringList>
#include <array>

namespace nimbrel::help {

class HelpTopics {
public:
    static constexpr int First = 1;
    static constexpr int Last = 7;
    static constexpr int Shortcuts = 5;
    static constexpr int Tips = 6; // what the help window shows when it opens

    // The "模块" menu: one item per topic, in topic order.
    struct MenuItem {
        int number;
        const char* name; // the item's object name
        QString caption;
    };
    static std::array<MenuItem, 7> menuItems();

    // The lines of a topic in order; none for a number outside 1..7.
    static QStringList lines(int number);
    // The text box's text: each line preceded by CR LF, so a topic always starts
    // with an empty line. Empty for a number outside 1..7.
    static QString text(int number);
};

} // namespace nimbrel::help
