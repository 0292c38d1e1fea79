#include "movie/avm2/builtins/GeomClasses.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

const char* const kPointFields[] = {"x", "y"};
const char* const kRectFields[] = {"x", "y", "width", "height"};

template <size_t N>
Value construct(Runtime& rt, const Value& self, Args a, const char* const (&fields)[N]) {
    for (size_t i = 0; i < N; ++i)
        PropertyAccess::set(rt, self, Name::publicName(QString::fromLatin1(fields[i])),
                            Value::number(numberArg(rt, a, int(i), 0)));
    return Value();
}
Value constructPoint(Runtime& rt, const Value& s, Args a) { return construct(rt, s, a, kPointFields); }
Value constructRect(Runtime& rt, const Value& s, Args a) { return construct(rt, s, a, kRectFields); }

QString field(Runtime& rt, const Value& self, const char* name) {
    return rt.toString(PropertyAccess::get(rt, self, Name::publicName(QString::fromLatin1(name))));
}
Value pointToString(Runtime& rt, const Value& s, Args) {
    return Value::string(QStringLiteral("(x=%1, y=%2)").arg(field(rt, s, "x"), field(rt, s, "y")));
}
Value rectToString(Runtime& rt, const Value& s, Args) {
    return Value::string(QStringLiteral("(x=%1, y=%2, w=%3, h=%4)")
                             .arg(field(rt, s, "x"), field(rt, s, "y"), field(rt, s, "width"), field(rt, s, "height")));
}

} // namespace

void GeomClasses::install(Runtime& rt) {
    const QString pkg = QStringLiteral("flash.geom");
    auto point = rt.defineNativeClass(pkg, QStringLiteral("Point"), rt.builtin(QStringLiteral("Object")),
                                      {{"toString", pointToString}});
    point->constructor = MethodRef{nullptr, 0, constructPoint, point.get()};
    auto rect = rt.defineNativeClass(pkg, QStringLiteral("Rectangle"), rt.builtin(QStringLiteral("Object")),
                                     {{"toString", rectToString}});
    rect->constructor = MethodRef{nullptr, 0, constructRect, rect.get()};
}

} // namespace nimbrel::movie::avm2
