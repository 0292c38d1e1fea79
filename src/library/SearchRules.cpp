#include "library/SearchRules.h"

#include <utility>

namespace nimbrel::library {

const QString SearchRules::kGreater = QStringLiteral("大于");
const QString SearchRules::kExactly = QStringLiteral("指定");
const QString SearchRules::kLess = QStringLiteral("小于");

SearchRules::SearchRules(QString dateOperator, const QString& dateValue, QString sizeOperator,
                         const QString& sizeValue, QString nameText)
    : m_dateOperator(std::move(dateOperator)), m_dateValue(wholeNumber(dateValue)),
      m_sizeOperator(std::move(sizeOperator)), m_sizeValue(wholeNumber(sizeValue)),
      m_nameText(std::move(nameText)) {}

bool SearchRules::passes(const FileFacts& facts) const {
    if (!m_nameText.isEmpty() && !facts.name.contains(m_nameText, Qt::CaseSensitive))
        return false;
    return datePasses(facts.creationStamp) && sizePasses(sizeInKb(facts.size));
}

QStringList SearchRules::filter(const QStringList& found, const FactsReader& read) const {
    QStringList kept;
    for (const QString& path : found) {
        if (path.isEmpty())
            continue;
        const std::optional<FileFacts> facts = read(path);
        if (facts && passes(*facts))
            kept.append(path);
    }
    return kept;
}

bool SearchRules::datePasses(qint64 stamp) const {
    if (!m_dateValue)
        return true;
    if (m_dateOperator == kExactly)
        return stamp == *m_dateValue;
    if (m_dateOperator == kGreater)
        return stamp > *m_dateValue;
    return false;
}

bool SearchRules::sizePasses(qint64 kb) const {
    if (!m_sizeValue)
        return true;
    if (m_sizeOperator == kGreater)
        return kb > *m_sizeValue;
    if (m_sizeOperator == kLess)
        return kb < *m_sizeValue;
    return false;
}

qint64 SearchRules::sizeInKb(qint64 bytes) {
    const qint64 whole = bytes / 1024;
    const qint64 rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && whole % 2 == 1))
        return whole + 1;
    return whole;
}

std::optional<qint32> SearchRules::wholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint32 value = trimmed.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace nimbrel::library
