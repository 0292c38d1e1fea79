#include "skin/FitMode.h"

namespace nimbrel::skin {

QString FitMode::caption(Item item) {
    switch (item) {
    case Item::mnuszck: return QStringLiteral("随着窗口大小的改变而改变");
    case Item::mnuchang: return QStringLiteral("长保持比例");
    case Item::mnuchanggao: return QStringLiteral("长高都保持比例");
    }
    return {};
}

FitMode::Choice FitMode::choose(Item item) {
    const int mode = static_cast<int>(item);
    return {mode, QString::number(mode), mode + 1};
}

std::optional<std::array<bool, 3>> FitMode::ms(int n) {
    if (n < 1 || n > 3)
        return std::nullopt;
    std::array<bool, 3> checks{};
    checks[n - 1] = true;
    return checks;
}

std::optional<FitMode::Item> FitMode::fromStored(const QString& value) {
    if (value == QLatin1String("0"))
        return Item::mnuszck;
    if (value == QLatin1String("1"))
        return Item::mnuchang;
    if (value == QLatin1String("2"))
        return Item::mnuchanggao;
    return std::nullopt;
}

} // namespace nimbrel::skin
