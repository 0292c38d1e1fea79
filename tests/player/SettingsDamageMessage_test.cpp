// The start-up message about settings lost to a damaged store file.
#include "platform/SettingsDamage.h"
#include "player/SettingsDamageMessage.h"
#include <gtest/gtest.h>

using nimbrel::platform::SettingsDamage;
using nimbrel::platform::SettingsRecord;
using nimbrel::player::SettingsDamageMessage;

namespace {

// What the store noted for one damaged line: its section and, when still readable, its key.
SettingsRecord::Remains line(const char* section, const char* key = nullptr) {
    SettingsRecord::Remains r;
    r.kind = SettingsRecord::Kind::Set;
    r.app = QStringLiteral("Nimbrel");
    r.section = QString::fromUtf8(section);
    if (key)
        r.key = QString::fromUtf8(key);
    return r;
}

SettingsRecord::Remains unreadable() { return {}; }

struct MessageCase {
    const char* what;
    QList<SettingsRecord::Remains> lines;
    QString text; // after the opening two lines; "" for no message
};

const QString kOpening = QStringLiteral("部分设置已损坏，已恢复其余设置。\n损坏的设置：\n");

TEST(SettingsDamageMessage, SaysWhichSettingsWereLost) {
    QList<SettingsRecord::Remains> manyKeys;
    for (int i = 0; i < 10; ++i)
        manyKeys << line("other", QByteArray("k" + QByteArray::number(i)).constData());
    SettingsRecord::Remains deletion = line("bflb");
    deletion.kind = SettingsRecord::Kind::DeleteSection;
    deletion.deletionShape = true;

    const MessageCase cases[] = {
        {"nothing damaged", {}, ""},
        // A deletion that could still be carried out lost nothing.
        {"a deletion carried out", {deletion}, ""},
        // The four geometry keys are one setting to the user; names match without regard to case.
        {"options", {line("bfsz", "mleft"), line("BFSZ", "MTop"), line("bfsz", "zdbf")}, "选项：窗口位置和大小、自动播放"},
        {"an option whose key is gone", {line("bfsz", "tmd"), line("bfsz")}, "选项：透明度、另有 1 项无法辨认"},
        // Playlist keys are time stamps: only how many entries.
        {"playlist entries", {line("bflb", "2405121030150"), line("bflb", "2405121030151"), line("bflb")},
         "播放列表：3 项"},
        {"many keys of another section", manyKeys, "other：k0、k1、k2、k3、k4、k5、k6、k7 等 10 项"},
        {"sections in the order found, then what cannot be placed",
         {line("bflb", "1"), unreadable(), line("bfsz", "bfms"), unreadable()}, "播放列表：1 项\n选项：显示模式\n另有 2 处无法辨认"},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsDamage damage;
        for (const auto& l : c.lines)
            damage.noteDamaged(l);
        damage.setCopyPath(QStringLiteral("/home/u/.config/Nimbrel/settings.log.corrupt-20250101-120000"));
        EXPECT_EQ(SettingsDamageMessage::text(damage), c.text.isEmpty() ? QString() : kOpening + c.text);
    }
}

TEST(SettingsDamageMessage, SaysWhenTheFileCouldNotBeRepaired) {
    SettingsDamage damage;
    damage.noteDamaged(line("bfsz", "ncjc"));
    EXPECT_EQ(SettingsDamageMessage::text(damage), kOpening + QStringLiteral("选项：内存监控\n设置文件无法修复。"));
}

TEST(SettingsDamageMessage, WholeFileLostNamesWhereItWasKept) {
    SettingsDamage damage;
    damage.noteWholeFileLost(QStringLiteral("/c/settings.log.corrupt-20250101-120000"));
    EXPECT_EQ(SettingsDamageMessage::text(damage),
              QStringLiteral("设置文件已损坏，无法读取，已恢复为默认设置。\n原文件已另存为：/c/settings.log.corrupt-20250101-120000"));
}

} // namespace
