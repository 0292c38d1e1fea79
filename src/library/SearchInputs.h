#pragma once
// What the search panel hands the search: the start folder, the search type and
// the rule texts as typed. Checking them gives the message to show, if any.
#include "library/SearchRules.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace nimbrel::library {

class SearchInputs {
public:
    enum class Kind { Flash, Pictures };

    static const QString kNoFolder;     // "请选择路径"
    static const QString kDateIncomplete; // "请把搜索 日期 + 时间 填写完整"
    static const QString kSizeMissing;  // "请把文件大小填写完整"

    QString startFolder;
    Kind kind = Kind::Flash;
    QString dateOperator = SearchRules::kGreater;
    QString dateValue = QStringLiteral("2006070800");
    QString sizeOperator = SearchRules::kGreater;
    QString sizeValue = QStringLiteral("0");
    QString nameText;

    // The message for the first input that stops a search, in the order they are checked.
    std::optional<QString> problem() const;
    // The walks a search makes, one per pattern, in order.
    QStringList patterns() const;
    SearchRules rules() const;
};

} // namespace nimbrel::library
