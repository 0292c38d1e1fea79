#include "library/SearchSummary.h"

namespace nimbrel::library {

std::optional<QString> SearchSummary::dateRule(const QString& dateOperator, const QString& dateValue) {
    if (dateValue.size() < 2)
        return std::nullopt;
    return QStringLiteral("你选择的是：") + dateOperator + QStringLiteral("日期：") + dateValue.chopped(2) +
           QStringLiteral("时间：") + dateValue.right(2) + QStringLiteral("点");
}

QString SearchSummary::sizeRule(const QString& sizeOperator, const QString& sizeValue) {
    return QStringLiteral("你选择的是：") + sizeOperator + sizeValue + QStringLiteral("KB");
}

} // namespace nimbrel::library
