#pragma once
// The three rules a search's results are filtered by once the walk ends: the
// file name contains a text (exact letter case), the creation stamp is after or
// exactly at a given hour, the size in KB is above or below a value. A rule
// value that is not a 32-bit whole number lets every file pass that rule.
#include "library/FileFacts.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nimbrel::library {

class SearchRules {
public:
    static const QString kGreater;  // "大于"
    static const QString kExactly;  // "指定"
    static const QString kLess;     // "小于"

    SearchRules(QString dateOperator, const QString& dateValue, QString sizeOperator,
                const QString& sizeValue, QString nameText);

    bool passes(const FileFacts& facts) const;

    using FactsReader = std::function<std::optional<FileFacts>(const QString& path)>;
    // The found paths that pass, in their order; paths that are gone are dropped.
    QStringList filter(const QStringList& found, const FactsReader& read = &FileFacts::read) const;

    // Length in KB rounded to the nearest, a half to the even neighbour: 512 bytes is 0 KB.
    static qint64 sizeInKb(qint64 bytes);
    // The text as a 32-bit whole number; nothing for letters, fractions or overflow.
    static std::optional<qint32> wholeNumber(const QString& text);

private:
    bool datePasses(qint64 stamp) const;
    bool sizePasses(qint64 kb) const;

    QString m_dateOperator;
    std::optional<qint32> m_dateValue;
    QString m_sizeOperator;
    std::optional<qint32> m_sizeValue;
    QString m_nameText;
};

} // namespace nimbrel::library
