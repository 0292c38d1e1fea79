#include "player/SettingsDamageMessage.h"
#include "library/PlaylistStore.h"
#include "platform/SettingsDamage.h"
#include "player/AppSettings.h"
#include <QStringList>

namespace nimbrel::player {

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// What a "bfsz" key stands for on screen; the four geometry keys are one setting.
QString optionLabel(const QString& key) {
    static const struct { const char* key; const char* label; } labels[] = {
        {"mleft", "窗口位置和大小"}, {"mtop", "窗口位置和大小"}, {"mwidth", "窗口位置和大小"},
        {"mheight", "窗口位置和大小"}, {"bfms", "显示模式"}, {"ncjc", "内存监控"}, {"tmd", "透明度"},
        {"zdbf", "自动播放"}, {"filepath", "搜索结果保存位置"}, {"filepath2", "转换文件保存位置"},
    };
    for (const auto& l : labels) {
        if (sameName(key, QLatin1String(l.key)))
            return QString::fromUtf8(l.label);
    }
    return key;
}

QString listed(const QStringList& names, int most) {
    if (names.size() <= most)
        return names.join(QStringLiteral("、"));
    return names.first(most).join(QStringLiteral("、")) + QStringLiteral(" 等 %1 项").arg(names.size());
}

} // namespace

QString SettingsDamageMessage::text(const platform::SettingsDamage& damage) {
    if (damage.wholeFileLost()) {
        return QStringLiteral("设置文件已损坏，无法读取，已恢复为默认设置。\n原文件已另存为：%1").arg(damage.copyPath());
    }
    if (damage.isEmpty())
        return QString();

    QStringList lines;
    for (const auto& section : damage.sections()) {
        const int count = int(section.keys.size()) + section.unnamed;
        if (sameName(section.name, AppSettings::section())) {
            QStringList names;
            for (const QString& key : section.keys) {
                if (const QString label = optionLabel(key); !names.contains(label))
                    names << label;
            }
            if (section.unnamed > 0)
                names << QStringLiteral("另有 %1 项无法辨认").arg(section.unnamed);
            lines << QStringLiteral("选项：") + listed(names, MostNamesShown);
        } else if (sameName(section.name, library::PlaylistStore::kSection)) {
            // Playlist keys are time stamps: how many entries is what means something.
            lines << QStringLiteral("播放列表：%1 项").arg(count);
        } else {
            QStringList names = section.keys;
            if (section.unnamed > 0)
                names << QStringLiteral("另有 %1 项无法辨认").arg(section.unnamed);
            lines << section.name + QStringLiteral("：") + listed(names, MostNamesShown);
        }
    }
    if (damage.unplaced() > 0)
        lines << QStringLiteral("另有 %1 处无法辨认").arg(damage.unplaced());

    QString text = QStringLiteral("部分设置已损坏，已恢复其余设置。\n损坏的设置：\n") + lines.join(QLatin1Char('\n'));
    // Without a copy the file was left as it was, and this will be said again next time.
    if (damage.copyPath().isEmpty())
        text += QStringLiteral("\n设置文件无法修复。");
    return text;
}

} // namespace nimbrel::player
