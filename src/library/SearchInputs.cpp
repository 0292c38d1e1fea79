#include "library/SearchInputs.h"

namespace nimbrel::library {

const QString SearchInputs::kNoFolder = QStringLiteral("请选择路径");
const QString SearchInputs::kDateIncomplete = QStringLiteral("请把搜索 日期 + 时间 填写完整");
const QString SearchInputs::kSizeMissing = QStringLiteral("请把文件大小填写完整");

std::optional<QString> SearchInputs::problem() const {
    if (startFolder.isEmpty())
        return kNoFolder;
    if (dateValue.size() != 10)
        return kDateIncomplete;
    // The size operator's box, not the value's, is what must hold something.
    if (sizeOperator.isEmpty())
        return kSizeMissing;
    return std::nullopt;
}

QStringList SearchInputs::patterns() const {
    if (kind == Kind::Pictures)
        return {QStringLiteral("*.BMP"), QStringLiteral("*.JPG"), QStringLiteral("*.GIF")};
    return {QStringLiteral("*.swf")};
}

SearchRules SearchInputs::rules() const {
    return SearchRules(dateOperator, dateValue, sizeOperator, sizeValue, nameText);
}

} // namespace nimbrel::library
