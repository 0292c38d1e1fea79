#pragma once
// A RegExp: the compiled expression, its flags and lastIndex. Matching uses
// Qt's Perl-compatible engine, whose syntax covers what scripts write.
#include "movie/avm2/ScriptObject.h"
#include <QRegularExpression>

namespace nimbrel::movie::avm2 {

class RegExpObject : public ScriptObject {
public:
    RegExpObject() : ScriptObject(Type::RegExp) {}

    void compile(const QString& pattern, const QString& flags);
    // The match starting at `from` (anchored there when `anchored`).
    QRegularExpressionMatch matchAt(const QString& text, int from, bool anchored = false) const;
    QString flagText() const;

    QString source;
    bool global = false, ignoreCase = false, multiline = false, dotall = false, extended = false;
    double lastIndex = 0;
    QRegularExpression re;
};

} // namespace nimbrel::movie::avm2
