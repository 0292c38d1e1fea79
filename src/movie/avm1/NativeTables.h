#pragma once
// The player's numbered built-ins: ASnative(table, index) hands out a function by its number, and
// ASSetNative / ASSetNativeAccessor install numbered functions under names on an object.
#include "movie/avm1/Value.h"
#include <QString>
#include <vector>

namespace nimbrel::movie::avm1 {

class Interpreter;

// Defines ASnative, ASSetNative and ASSetNativeAccessor. Runs after every class is installed: the
// tables point at the built-ins as they were before any script could replace them.
void installNativeTables(Interpreter& vm);

// Math's numbered functions (table 200): every index converts its first two arguments, in order,
// before anything else; an index past the known ones gives NaN.
Value callMathNative(Interpreter& vm, int index, const std::vector<Value>& args);

// A name in an ASSetNative list may start with the movie version it needs ("8getPixel"); "1" is
// accepted and needs none. Returns the bare name and sets `minVersion` (0 when ungated).
QString splitNativeName(const QString& entry, int& minVersion);

} // namespace nimbrel::movie::avm1
