#pragma once
// Reads the small part of TOML the corpus cases use: tables, dotted and
// quoted keys, strings, numbers, booleans and one-line inline tables. Every
// value ends up under its full dotted key ("image_comparisons.output.tolerance").
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
    // Names of the tables directly below prefix ("image_comparisons" -> "output", ...).
    QStringList children(const QString& prefix) const;

private:
    void parseLine(QString line, QString& table);
    void assign(const QString& key, QString value);
    QMap<QString, QString> values_;
};
