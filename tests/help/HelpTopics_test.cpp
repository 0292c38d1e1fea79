// The help topics as data: the quoted lines word for word, the join with CR LF and
// its leading empty line, and the indentation of items and sub-items.
#include "help/HelpTopics.h"
#include <QRegularExpression>
#include <gtest/gtest.h>

using nimbrel::help::HelpTopics;

namespace {

QStringList u8list(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines)
        out << QString::fromUtf8(l);
    return out;
}

// True when `wanted` appears in `lines` in the same order, other lines in between.
bool inOrder(const QStringList& lines, const QStringList& wanted) {
    qsizetype at = 0;
    for (const QString& w : wanted) {
        at = lines.indexOf(w, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

} // namespace

TEST(HelpTopics, ShortcutTopicIsExactlyTheKeyTable) {
    const QStringList expected = u8list({
        "【了解快捷键】",
        "【快捷键在处于当前窗口的时候有效】",
        "＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝",
        "打开文件  O",
        "打开URL   U",
        "保存当前播放文件 F1",
        "播放/暂停  回车",
        "上一个     方向左",
        "下一个     方向右",
        "上一帧     方向上",
        "下一帧     方向下",
        "放大      ＋ Or F2",
        "缩小      － Or F3",
        "屏幕截图  ESC",
        "屏幕置顶  F12",
        "增大音量  PageUp",
        "减小音量  PageDown",
        "退出      F4",
        "【为了与笔记本电脑兼容采用了多个按键】",
    });
    EXPECT_EQ(HelpTopics::lines(HelpTopics::Shortcuts), expected);
    EXPECT_EQ(HelpTopics::text(HelpTopics::Shortcuts),
              QStringLiteral("\r\n") + expected.join(QStringLiteral("\r\n")));
}

TEST(HelpTopics, ShortcutTableUsesFullWidthSignsAndAsciiSpaces) {
    const QStringList lines = HelpTopics::lines(HelpTopics::Shortcuts);
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[2], QString(23, QChar(0xFF1D)));
    EXPECT_TRUE(lines[11].contains(QChar(0xFF0B)));
    EXPECT_TRUE(lines[12].contains(QChar(0xFF0D)));
    for (const QString& l : lines) {
        EXPECT_FALSE(l.contains(QChar(0x3000))) << l.toStdString(); // ideographic space
        EXPECT_FALSE(l.contains(QChar(0x00A0))) << l.toStdString();
    }
}

TEST(HelpTopics, EveryTopicStartsWithAnEmptyLineAndJoinsWithCrLf) {
    for (int n = HelpTopics::First; n <= HelpTopics::Last; ++n) {
        SCOPED_TRACE(n);
        const QString text = HelpTopics::text(n);
        ASSERT_TRUE(text.startsWith(QStringLiteral("\r\n")));
        const QStringList split = text.split(QStringLiteral("\r\n"));
        EXPECT_EQ(split.first(), QString());
        EXPECT_EQ(split.mid(1), HelpTopics::lines(n));
        // No stray line ends of another kind inside a line.
        for (const QString& l : HelpTopics::lines(n)) {
            EXPECT_FALSE(l.contains(QLatin1Char('\r')));
            EXPECT_FALSE(l.contains(QLatin1Char('\n')));
        }
    }
}

TEST(HelpTopics, NumbersOutsideOneToSevenGiveNothing) {
    for (int n : {0, 8, -1, 32767, -32768}) {
        EXPECT_TRUE(HelpTopics::lines(n).isEmpty()) << n;
        EXPECT_TRUE(HelpTopics::text(n).isEmpty()) << n;
    }
}

TEST(HelpTopics, QuotedLinesAppearWordForWordInOrder) {
    struct Case {
        int topic;
        QStringList quoted;
    };
    const Case cases[] = {
        {1, u8list({"【本模块可以实现功能】", "【如何实现】"})},
        {2, u8list({"【本模块主要实现功能】", "【如何实现本模块特有功能】", "    1.如何添加文件",
                    "    2.如何保存列表", "    3.如何读取列表", "    4.其它",
                    "    5.本模块支持拖放操作。"})},
        {3, u8list({"【本模块主要实现功能】", "    1.综合性的实现 文件搜索。",
                    " 【如何实现本模块特有功能】"})},
        {4, u8list({"【本模块主要实现功能】", "    1.Flash文件的转换", "【如何实现本模块特有功能】"})},
        {6, u8list({"如何最大化:", "如何播放播放列表中的文件?", "自动播放是什么意思:",
                    "内存监控是什么意思:", "窗口置顶是什么意思:", "屏幕截图如何使用:"})},
        {7, u8list({"            QuorvaneFlashPlayer 1.5.0", "",
                    "【近期目标】提供更多图象编辑功能，swf TO gif ，自动更新，插件...",
                    "【关于程序】为了得到更好的效果建议使用XP系统。",
                    "本程序难免有BUG，希望您把问题告诉我，把程序做的更好。"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topic);
        EXPECT_TRUE(inOrder(HelpTopics::lines(c.topic), c.quoted));
    }
}

TEST(HelpTopics, TopicsOpenWithTheirHeadings) {
    // The first line carries the topic; topic 7's starts with its version line.
    EXPECT_EQ(HelpTopics::lines(1).first(), QString::fromUtf8("【本模块可以实现功能】"));
    EXPECT_EQ(HelpTopics::lines(6).first(), QString::fromUtf8("如何最大化:"));
    const QStringList about = HelpTopics::lines(7);
    ASSERT_GE(about.size(), 2);
    EXPECT_EQ(about[0], QString::fromUtf8("            QuorvaneFlashPlayer 1.5.0"));
    EXPECT_EQ(about[1], QString());
}

TEST(HelpTopics, PlaylistTopicKeepsItsFourthItemsOrder) {
    // 4.1, 4.3, 4.2, 4.4: the order the topic has always had.
    QStringList numbers;
    static const QRegularExpression sub(QStringLiteral("^       (4\\.\\d) "));
    for (const QString& l : HelpTopics::lines(2)) {
        const auto m = sub.match(l);
        if (m.hasMatch())
            numbers << m.captured(1);
    }
    EXPECT_EQ(numbers, (QStringList{"4.1", "4.3", "4.2", "4.4"}));
}

TEST(HelpTopics, ItemsAreIndentedByFourAndSubItemsBySeven) {
    // The one heading with a single leading space and the version line are as quoted.
    static const QRegularExpression lead(QStringLiteral("^( *)"));
    for (int n = HelpTopics::First; n <= HelpTopics::Last; ++n) {
        for (const QString& l : HelpTopics::lines(n)) {
            const qsizetype spaces = lead.match(l).capturedLength(1);
            const bool allowed = spaces == 0 || spaces == 4 || spaces == 7 ||
                                 (n == 3 && spaces == 1) || (n == 7 && spaces == 12);
            EXPECT_TRUE(allowed) << "topic " << n << ": " << l.toStdString();
            if (spaces == 7) {
                EXPECT_TRUE(l.at(7).isDigit()) << l.toStdString();
            }
        }
    }
}

TEST(HelpTopics, MenuItemsNameTheSevenTopicsInOrder) {
    const auto items = HelpTopics::menuItems();
    const char* names[] = {"MNUBF", "MNUBFLB", "mnuzhss", "mnuste", "MNUKJJ", "MNUSYJQ", "MNUQT"};
    const QStringList captions = u8list(
        {"播放窗体", "播放列表", "综合搜索", "SWF TO EXE", "快捷键", "使用技巧", "关于软件"});
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(items[i].number, i + 1);
        EXPECT_STREQ(items[i].name, names[i]);
        EXPECT_EQ(items[i].caption, captions[i]);
        EXPECT_FALSE(HelpTopics::lines(items[i].number).isEmpty());
    }
}
