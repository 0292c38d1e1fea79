#pragma once
// RegExp: construction from text and flags, exec, test, the flag properties;
// and the matching String methods use (match, replace, search, split).
#include "movie/avm2/MethodRef.h"
#include <QString>

namespace nimbrel::movie::avm2 {

class RegExpObject;
class Runtime;

class RegExpClass {
public:
    static void install(Runtime& rt);
    // The expression a String method argument names: itself, or text compiled without flags.
    static std::shared_ptr<RegExpObject> toRegExp(Runtime& rt, const Value& v);
    // exec's result: the matched text and groups with index and input, or null.
    static Value exec(Runtime& rt, RegExpObject& re, const QString& text);
    static Value match(Runtime& rt, RegExpObject& re, const QString& text);
    static Value replace(Runtime& rt, RegExpObject& re, const QString& text, const Value& with);
    static Value split(Runtime& rt, RegExpObject& re, const QString& text, double limit);
};

} // namespace nimbrel::movie::avm2
