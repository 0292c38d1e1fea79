#pragma once
// The captions that repeat the chosen date and size rules under their inputs.
#include <QString>
#include <optional>

namespace nimbrel::library {

class SearchSummary {
public:
    // "你选择的是：大于日期：20060708时间：00点"; nothing (caption unchanged) for a
    // value shorter than two characters.
    static std::optional<QString> dateRule(const QString& dateOperator, const QString& dateValue);
    // "你选择的是：大于0KB".
    static QString sizeRule(const QString& sizeOperator, const QString& sizeValue);
};

} // namespace nimbrel::library
