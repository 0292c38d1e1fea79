// flash.geom.ColorTransform: multipliers and offsets read and written through
// accessors on the prototype, which scripts can enumerate.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/ColorTransformObject.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NumberFormat.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

ColorTransformObject* self(const Value& v)
{
    return dynamic_cast<ColorTransformObject*>(v.object());
}

const char* const kChannelNames[] = {"red", "green", "blue", "alpha"};

} // namespace

void installColorTransformClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QString(), nullptr, [proto](Interpreter& vm, Object*, Args a) -> Value {
        auto* ct = vm.make<ColorTransformObject>(proto);
        // Anything short of all eight values leaves the identity.
        if (a.size() >= 8) {
            for (int i = 0; i < 4; ++i) {
                ct->mult[i] = vm.toNumber(arg(a, i));
                ct->add[i] = vm.toNumber(arg(a, i + 4));
            }
        }
        return Value(static_cast<Object*>(ct));
    }, proto);
    flashPackage(vm, QStringLiteral("geom"))->define(QStringLiteral("ColorTransform"), Value(static_cast<Object*>(ctor)));

    // Defined oldest first: enumeration lists the newest first, as the player does.
    auto accessor = [&](const QString& name, NativeFunction::Fn get, NativeFunction::Fn set) {
        proto->defineAccessor(name, vm.newFunction(std::move(get)), vm.newFunction(std::move(set)));
    };
    for (int field = 0; field < 2; ++field) {
        for (int i : {3, 0, 1, 2}) {
            const bool isMult = field == 0;
            accessor(QLatin1String(kChannelNames[i]) + (isMult ? QStringLiteral("Multiplier") : QStringLiteral("Offset")),
                     [i, isMult](Interpreter&, const Value& t, Args) -> Value {
                         auto* ct = self(t);
                         return ct ? Value(isMult ? ct->mult[i] : ct->add[i]) : Value();
                     },
                     [i, isMult](Interpreter& vm, const Value& t, Args a) -> Value {
                         if (auto* ct = self(t))
                             (isMult ? ct->mult[i] : ct->add[i]) = vm.toNumber(arg(a, 0));
                         return Value();
                     });
        }
    }
    accessor(QStringLiteral("rgb"),
             [](Interpreter&, const Value& t, Args) -> Value {
                 auto* ct = self(t);
                 if (!ct)
                     return Value();
                 return Value(double((toInt32(ct->add[0]) << 16) | (toInt32(ct->add[1]) << 8) | toInt32(ct->add[2])));
             },
             [](Interpreter& vm, const Value& t, Args a) -> Value {
                 auto* ct = self(t);
                 if (!ct)
                     return Value();
                 const int32_t rgb = vm.toInt32(arg(a, 0));
                 for (int i = 0; i < 3; ++i) {
                     ct->mult[i] = 0;
                     ct->add[i] = (rgb >> (16 - 8 * i)) & 255;
                 }
                 return Value();
             });
    proto->define(QStringLiteral("concat"), Value(static_cast<Object*>(vm.newFunction([](Interpreter&, const Value& t, Args a) {
        auto* ct = self(t);
        auto* other = self(arg(a, 0));
        if (ct && other) {
            for (int i = 0; i < 4; ++i) {
                ct->add[i] += ct->mult[i] * other->add[i];
                ct->mult[i] *= other->mult[i];
            }
        }
        return Value();
    }))));
    proto->define(QStringLiteral("toString"), Value(static_cast<Object*>(vm.newFunction([](Interpreter& vm, const Value& t, Args) {
        QString out = QStringLiteral("(");
        for (int field = 0; field < 2; ++field) {
            for (int i = 0; i < 4; ++i) {
                const QString name = QLatin1String(kChannelNames[i]) + (field ? QStringLiteral("Offset") : QStringLiteral("Multiplier"));
                if (field || i)
                    out += QStringLiteral(", ");
                out += name + QLatin1Char('=') + vm.toString(vm.getMember(t, name));
            }
        }
        return Value(out + QLatin1Char(')'));
    }))));
}

} // namespace nimbrel::movie::avm1
