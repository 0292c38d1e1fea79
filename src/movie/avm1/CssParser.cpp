#include "movie/avm1/CssParser.h"

namespace nimbrel::movie::avm1 {

namespace {

bool isCssSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

QString CssParser::camelCase(const QString& name)
{
    // A dash and the character after it become that character in upper case ("--" leaves one dash).
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == QLatin1Char('-') && i + 1 < name.size())
            out += name[++i].toUpper();
        else
            out += name[i];
    }
    return out;
}

std::optional<std::vector<CssRule>> CssParser::parse(const QString& s)
{
    std::vector<CssRule> rules;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto skipSpace = [&] {
        while (i < n && isCssSpace(s[i]))
            ++i;
    };
    for (;;) {
        skipSpace();
        if (i >= n)
            return rules;
        // One or more selectors, then the block they share.
        QStringList selectors;
        for (;;) {
            const qsizetype start = i;
            while (i < n && !isCssSpace(s[i]) && s[i] != QLatin1Char(',') && s[i] != QLatin1Char('{'))
                ++i;
            if (i == start)
                return std::nullopt;
            selectors.append(s.mid(start, i - start));
            skipSpace();
            if (i < n && s[i] == QLatin1Char(',')) {
                ++i;
                skipSpace();
                continue;
            }
            break;
        }
        if (i >= n || s[i] != QLatin1Char('{'))
            return std::nullopt;
        ++i;
        QList<QPair<QString, QString>> props;
        for (;;) {
            skipSpace();
            if (i >= n || s[i] == QLatin1Char('}')) {
                // An unclosed last block still counts.
                if (i < n)
                    ++i;
                break;
            }
            const qsizetype colon = s.indexOf(QLatin1Char(':'), i);
            if (colon < 0)
                return std::nullopt;
            // Spaces may follow the name (and stay part of it) but not split it.
            const QString name = s.mid(i, colon - i);
            const QString word = name.trimmed();
            for (QChar c : word)
                if (isCssSpace(c))
                    return std::nullopt;
            i = colon + 1;
            skipSpace();
            const qsizetype start = i;
            while (i < n && s[i] != QLatin1Char(';') && s[i] != QLatin1Char('}'))
                ++i;
            if (i >= n)
                return std::nullopt;
            const QString value = s.mid(start, i - start);
            if (s[i] == QLatin1Char(';'))
                ++i;
            if (!name.isEmpty())
                props.append({camelCase(name), value});
        }
        for (const QString& sel : selectors)
            rules.push_back({sel, props});
    }
}

} // namespace nimbrel::movie::avm1
