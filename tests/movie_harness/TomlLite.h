#pragma once
// Reads the small part of TOML the corpus cases use: tables, dotted and
// quoted keys, strings, numbers, booleans, one-line arrays and inline tables,
// and arrays of tables. Every value ends up under its full dotted key
// ("image_comparisons.output.tolerance"); a part with a dot in it stays quoted
// ("image_comparisons.\"output.01\".trigger") and the entries of an array of
// tables are numbered ("image_comparisons.output.checks.0.tolerance").
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

class TomlLite {
public:
    static TomlLite parse(const QString& text);
    static TomlLite load(const QString& path);

    bool has(const QString& key) const { return values_.contains(key); }
    QString string(const QString& key, const QString& fallback = QString()) const;
    double number(const QString& key, double fallback) const;
    bool boolean(const QString& key, bool fallback) const;
    // The strings of a one-line array (a lone string gives a list of one).
    QStringList strings(const QString& key) const;
    // Names of the tables directly below prefix ("image_comparisons" -> "output", ...), unquoted.
    QStringList children(const QString& prefix) const;
    // A name as one part of a dotted key.
    static QString quoted(const QString& part);

private:
    void parseLine(QString line, QString& table);
    void assign(const QString& key, QString value);
    QMap<QString, QString> values_;
    QHash<QString, int> arrayLengths_;
};
