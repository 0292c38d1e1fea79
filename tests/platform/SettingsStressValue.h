#pragma once
// Values written by the stress writer: "round-N:" and then filler that depends on
// key and round, so that a reader can tell a whole value from a mangled one.
#include <QString>

#include <optional>

namespace nimbrel::settingstest {

inline QString stressValue(const QString& key, qint64 round, int fillerLength) {
    const QString unit = key + QLatin1Char('/') + QString::number(round) + QLatin1Char(';');
    QString filler;
    filler.reserve(fillerLength + unit.size());
    while (filler.size() < fillerLength)
        filler += unit;
    filler.truncate(fillerLength);
    return QStringLiteral("round-%1:").arg(round) + filler;
}

// The round of a value written by stressValue(), or nothing when the value is not one.
inline std::optional<qint64> stressRound(const QString& key, const QString& value, int fillerLength) {
    if (!value.startsWith(QLatin1String("round-")))
        return std::nullopt;
    bool ok = false;
    const qint64 round = value.mid(6, value.indexOf(QLatin1Char(':')) - 6).toLongLong(&ok);
    if (!ok || value != stressValue(key, round, fillerLength))
        return std::nullopt;
    return round;
}

} // namespace nimbrel::settingstest
