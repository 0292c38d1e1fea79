#pragma once
// The "name=value&name=value" form of variables sent to and loaded from
// servers (LoadVars, loadVariables), escaped the way the movie's escape() does.
#include <QList>
#include <QPair>
#include <QString>

namespace nimbrel::movie::avm1 {

class UrlVariables {
public:
    using Pairs = QList<QPair<QString, QString>>;
    // Pieces without '=' are dropped; names and values are unescaped, '+' reads as a space.
    static Pairs decode(const QString& text);
    static QString encode(const Pairs& pairs);
    // Letters and digits stay; every other UTF-8 byte becomes %XX.
    static QString escape(const QString& s);
    // %XX bytes read as UTF-8; an escape broken by a non-hex digit is dropped.
    static QString unescape(const QString& s);
};

} // namespace nimbrel::movie::avm1
