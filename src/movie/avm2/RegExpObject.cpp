#include "movie/avm2/RegExpObject.h"
#include <QHash>

namespace nimbrel::movie::avm2 {

void RegExpObject::compile(const QString& pattern, const QString& flags) {
    source = pattern;
    global = flags.contains(QLatin1Char('g'));
    ignoreCase = flags.contains(QLatin1Char('i'));
    multiline = flags.contains(QLatin1Char('m'));
    dotall = flags.contains(QLatin1Char('s'));
    extended = flags.contains(QLatin1Char('x'));
    QRegularExpression::PatternOptions options;
    if (ignoreCase) options |= QRegularExpression::CaseInsensitiveOption;
    if (multiline) options |= QRegularExpression::MultilineOption;
    if (dotall) options |= QRegularExpression::DotMatchesEverythingOption;
    if (extended) options |= QRegularExpression::ExtendedPatternSyntaxOption;
    // Scripts often build the same expression in a loop: compiled ones are shared.
    static QHash<QString, QRegularExpression> compiled;
    const QString key = QString::number(int(options)) + QLatin1Char('/') + pattern;
    auto it = compiled.constFind(key);
    if (it != compiled.constEnd()) {
        re = *it;
        return;
    }
    re = QRegularExpression(pattern, options);
    if (compiled.size() > 512) compiled.clear();
    compiled.insert(key, re);
}

QRegularExpressionMatch RegExpObject::matchAt(const QString& text, int from, bool anchored) const {
    if (!re.isValid() || from > text.size()) return QRegularExpressionMatch();
    return re.match(text, from, QRegularExpression::NormalMatch,
                    anchored ? QRegularExpression::AnchorAtOffsetMatchOption : QRegularExpression::NoMatchOption);
}

QString RegExpObject::flagText() const {
    QString f;
    if (global) f += QLatin1Char('g');
    if (ignoreCase) f += QLatin1Char('i');
    if (multiline) f += QLatin1Char('m');
    if (dotall) f += QLatin1Char('s');
    if (extended) f += QLatin1Char('x');
    return f;
}

} // namespace nimbrel::movie::avm2
