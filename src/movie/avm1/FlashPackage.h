#pragma once
// The `flash.geom`, `flash.display` and `flash.filters` package objects and
// small helpers shared by the classes that live in them.
#include "movie/avm1/Value.h"
#include <QString>
#include <vector>

namespace nimbrel::movie::avm1 {

class Interpreter;
class Object;

// The packages are built for SWF 6 and later movies; before SWF 8 `flash` stays hidden until a script
// unhides it.
bool hasFlashPackages(const Interpreter& vm);
// `_global.flash.<name>`, made on first use.
Object* flashPackage(Interpreter& vm, const QString& name);
// A new instance of `flash.<package>.<className>` as scripts currently see it.
Value newPackageInstance(Interpreter& vm, const QString& package, const QString& className,
                         const std::vector<Value>& args);
// A new `flash.geom.Point`, the answer of the geometry classes' methods.
Value newGeomPoint(Interpreter& vm, const Value& x, const Value& y);
// The `+` operator of scripts: text joins, anything else adds as numbers.
Value scriptAdd(Interpreter& vm, const Value& a, const Value& b);

} // namespace nimbrel::movie::avm1
