#include "TomlLite.h"
#include <QFile>
#include <QSet>

namespace {

// Splits "a.\"b c\".d" into its parts, unquoting.
QStringList splitKey(const QString& key) {
    QStringList parts;
    QString cur;
    bool quoted = false;
    for (QChar c : key) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        else if (c == QLatin1Char('.') && !quoted) {
            parts << cur.trimmed();
            cur.clear();
        } else cur += c;
    }
    parts << cur.trimmed();
    return parts;
}

// Position of the first `ch` outside quotes and braces, -1 if none.
int findTopLevel(const QString& s, QChar ch) {
    bool quoted = false;
    int braces = 0;
    for (int i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == QLatin1Char('"')) quoted = !quoted;
        else if (!quoted && c == QLatin1Char('{')) ++braces;
        else if (!quoted && c == QLatin1Char('}')) --braces;
        else if (!quoted && braces == 0 && c == ch) return i;
    }
    return -1;
}

// Joins key parts, quoting those with a dot so they stay one part.
QString joinKey(const QStringList& parts) {
    QStringList out;
    for (const QString& p : parts) out << TomlLite::quoted(p);
    return out.join(QLatin1Char('.'));
}

} // namespace

QString TomlLite::quoted(const QString& part) {
    return part.contains(QLatin1Char('.')) ? QLatin1Char('"') + part + QLatin1Char('"') : part;
}

TomlLite TomlLite::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parse(QString::fromUtf8(f.readAll()));
}

TomlLite TomlLite::parse(const QString& text) {
    TomlLite t;
    QString table;
    for (const QString& line : text.split(QLatin1Char('\n'))) t.parseLine(line, table);
    return t;
}

void TomlLite::parseLine(QString line, QString& table) {
    const int hash = findTopLevel(line, QLatin1Char('#'));
    if (hash >= 0) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) return;
    if (line.startsWith(QLatin1Char('['))) {
        QString name = line.mid(1, line.lastIndexOf(QLatin1Char(']')) - 1);
        if (name.startsWith(QLatin1Char('['))) {
            // Arrays of tables: each entry is a table named by its index ("checks.0", "checks.1").
            name = name.mid(1, name.lastIndexOf(QLatin1Char(']')) - 1);
            const QString array = joinKey(splitKey(name));
            table = array + QLatin1Char('.') + QString::number(arrayLengths_[array]++);
        } else {
            table = joinKey(splitKey(name));
        }
        if (!values_.contains(table)) values_[table] = QStringLiteral("{}");
        return;
    }
    const int eq = findTopLevel(line, QLatin1Char('='));
    if (eq < 0) return;
    const QString key = joinKey(splitKey(line.left(eq)));
    assign(table.isEmpty() ? key : table + QLatin1Char('.') + key, line.mid(eq + 1).trimmed());
}

void TomlLite::assign(const QString& key, QString value) {
    if (value.startsWith(QLatin1Char('{')) && value.endsWith(QLatin1Char('}'))) {
        QString inner = value.mid(1, value.size() - 2);
        while (!inner.trimmed().isEmpty()) {
            int comma = findTopLevel(inner, QLatin1Char(','));
            QString item = comma < 0 ? inner : inner.left(comma);
            inner = comma < 0 ? QString() : inner.mid(comma + 1);
            int eq = findTopLevel(item, QLatin1Char('='));
            if (eq < 0) continue;
            assign(key + QLatin1Char('.') + joinKey(splitKey(item.left(eq))), item.mid(eq + 1).trimmed());
        }
        values_[key] = QStringLiteral("{}");
        return;
    }
    if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\''))))
        value = value.mid(1, value.size() - 2);
    values_[key] = value;
}

QString TomlLite::string(const QString& key, const QString& fallback) const {
    return values_.value(key, fallback);
}

double TomlLite::number(const QString& key, double fallback) const {
    bool ok = false;
    double v = values_.value(key).toDouble(&ok);
    return ok ? v : fallback;
}

bool TomlLite::boolean(const QString& key, bool fallback) const {
    const QString v = values_.value(key);
    if (v == QLatin1String("true")) return true;
    if (v == QLatin1String("false")) return false;
    return fallback;
}

QStringList TomlLite::children(const QString& prefix) const {
    QStringList out;
    QSet<QString> seen;
    const QString p = prefix + QLatin1Char('.');
    for (auto it = values_.begin(); it != values_.end(); ++it) {
        if (!it.key().startsWith(p)) continue;
        const QString name = splitKey(it.key().mid(p.size())).value(0);
        if (!seen.contains(name)) {
            seen.insert(name);
            out << name;
        }
    }
    return out;
}

QStringList TomlLite::strings(const QString& key) const {
    const QString v = values_.value(key).trimmed();
    if (!v.startsWith(QLatin1Char('[')) || !v.endsWith(QLatin1Char(']'))) return v.isEmpty() ? QStringList() : QStringList{v};
    QStringList out;
    QString inner = v.mid(1, v.size() - 2);
    while (!inner.trimmed().isEmpty()) {
        const int comma = findTopLevel(inner, QLatin1Char(','));
        QString item = (comma < 0 ? inner : inner.left(comma)).trimmed();
        inner = comma < 0 ? QString() : inner.mid(comma + 1);
        if (item.size() >= 2 && (item.startsWith(QLatin1Char('"')) || item.startsWith(QLatin1Char('\''))))
            item = item.mid(1, item.size() - 2);
        if (!item.isEmpty()) out << item;
    }
    return out;
}
