#pragma once
// Reading helpers shared by the action families of ActionRunner.
#include "movie/avm1/Interpreter.h"
#include <QString>
#include <cstdint>

namespace nimbrel::movie::avm1 {

class MovieClipObject;
class Object;

namespace actions {

// A zero-terminated string at `at` of an action's payload; `at` moves past it.
inline QString readString(const uint8_t* data, size_t len, size_t& at, int version)
{
    size_t start = at;
    while (at < len && data[at] != 0)
        ++at;
    const char* p = reinterpret_cast<const char*>(data + start);
    int n = int(at - start);
    if (at < len)
        ++at; // the terminator
    if (version >= 6)
        return QString::fromUtf8(p, n);
    return QString::fromLatin1(p, n);
}

[[noreturn]] inline void malformed(const char* what)
{
    throw ScriptAbort{QString::fromLatin1(what)};
}

inline bool isPath(const QString& name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('.'));
}

// The object a slash or dot path names: clips first, then members of any object on the way.
Object* objectAtPath(Interpreter& vm, const QString& rawPath, MovieClipObject* base);

} // namespace actions
} // namespace nimbrel::movie::avm1
