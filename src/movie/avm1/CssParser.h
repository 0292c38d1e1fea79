#pragma once
// Style sheet text as TextField.StyleSheet reads it: "sel1, sel2 { name:
// value; ... }". Selectors are single words of any characters; names run to
// their colon; a value runs to ';' or '}'. Any malformed rule spoils the
// whole text, so nothing of it is applied.
#include <QList>
#include <QPair>
#include <QString>
#include <optional>
#include <vector>

namespace nimbrel::movie::avm1 {

struct CssRule {
    QString selector;
    QList<QPair<QString, QString>> properties; // dashed names in camel case ("font-size" -> "fontSize")
};

class CssParser {
public:
    static std::optional<std::vector<CssRule>> parse(const QString& text);
    static QString camelCase(const QString& name);
};

} // namespace nimbrel::movie::avm1
