#include "movie/avm2/builtins/DateClass.h"
#include "movie/avm2/DateMath.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <QDateTime>
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
double& timeOf(Runtime& rt, const Value& self) {
    if (!self.isObject() || self.obj()->type != ScriptObject::Type::Date)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("Date")});
    return self.obj()->primitive.d;
}

double now() { return double(QDateTime::currentMSecsSinceEpoch()); }

// Field 7 is the day of the week, 8 the time value itself, 9 the zone offset in minutes.
template <int Field, bool Utc>
Value getField(Runtime& rt, const Value& self, Args) {
    const double t = timeOf(rt, self);
    if (std::isnan(t)) return Value::number(t);
    if constexpr (Field == 8) return Value::number(t);
    if constexpr (Field == 9) return Value::number(-DateMath::localOffset(t) / 60000);
    const double at = Utc ? t : DateMath::toLocal(t);
    if constexpr (Field == 7) return Value::integer(DateMath::weekDay(at));
    return Value::number(DateMath::fields(at)[Field]);
}

// setHours(h, m, s, ms) and friends: the arguments replace fields from First on.
template <int First, int Count, bool Utc>
Value setFields(Runtime& rt, const Value& self, Args a) {
    double& t = timeOf(rt, self);
    double base = t;
    if (std::isnan(base)) {
        if (First != 0) return Value::number(base);
        base = 0; // setFullYear on an invalid date starts from +0
    }
    DateMath::Fields f = DateMath::fields(Utc ? base : DateMath::toLocal(base));
    const int given = std::max(1, std::min(a.count, Count));
    for (int i = 0; i < given; ++i) f[size_t(First + i)] = rt.toNumber(a[i]);
    const double made = DateMath::make(f);
    t = DateMath::clip(Utc ? made : DateMath::toUtc(made));
    return Value::number(t);
}

Value setTime(Runtime& rt, const Value& self, Args a) {
    double& t = timeOf(rt, self);
    t = DateMath::clip(rt.toNumber(a[0]));
    return Value::number(t);
}

template <QString (*Format)(double)>
Value text(Runtime& rt, const Value& self, Args) { return Value::string(Format(timeOf(rt, self))); }

double fromArgs(Runtime& rt, Args a, bool utc) {
    DateMath::Fields f{0, 0, 1, 0, 0, 0, 0};
    for (int i = 0; i < std::min(a.count, 7); ++i) f[size_t(i)] = rt.toNumber(a[i]);
    if (std::isfinite(f[0]) && std::trunc(f[0]) >= 0 && std::trunc(f[0]) <= 99) f[0] = 1900 + std::trunc(f[0]);
    const double t = DateMath::make(f);
    return DateMath::clip(utc ? t : DateMath::toUtc(t));
}

ObjectPtr allocate(const ClassObject&) {
    auto obj = std::make_shared<ScriptObject>(ScriptObject::Type::Date);
    obj->primitive = Value();
    obj->primitive.kind = Value::Kind::Number;
    obj->primitive.d = std::nan("");
    return obj;
}

Value construct(Runtime& rt, const Value& self, Args a) {
    double& t = timeOf(rt, self);
    if (a.count == 0) t = now();
    else if (a.count == 1) {
        const Value p = rt.toPrimitive(a[0], false);
        if (a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Date) t = a[0].obj()->primitive.d;
        else t = p.isString() ? DateMath::parse(p.s) : DateMath::clip(rt.toNumber(p));
    } else t = fromArgs(rt, a, false);
    return Value();
}

Value callAsFunction(Runtime&, const Value&, Args) { return Value::string(DateMath::toText(now())); }
Value utc(Runtime& rt, const Value&, Args a) { return Value::number(fromArgs(rt, a, true)); }
Value parse(Runtime& rt, const Value&, Args a) { return Value::number(DateMath::parse(native::stringArg(rt, a, 0))); }
} // namespace

void DateClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("Date"), rt.builtin(QStringLiteral("Object")),
        {{"getTime", getField<8, true>}, {"valueOf", getField<8, true>},
         {"getFullYear", getField<0, false>}, {"getMonth", getField<1, false>}, {"getDate", getField<2, false>},
         {"getDay", getField<7, false>}, {"getHours", getField<3, false>}, {"getMinutes", getField<4, false>},
         {"getSeconds", getField<5, false>}, {"getMilliseconds", getField<6, false>},
         {"getUTCFullYear", getField<0, true>}, {"getUTCMonth", getField<1, true>}, {"getUTCDate", getField<2, true>},
         {"getUTCDay", getField<7, true>}, {"getUTCHours", getField<3, true>}, {"getUTCMinutes", getField<4, true>},
         {"getUTCSeconds", getField<5, true>}, {"getUTCMilliseconds", getField<6, true>},
         {"getTimezoneOffset", getField<9, false>}, {"setTime", setTime, 1},
         {"setFullYear", setFields<0, 3, false>, 3}, {"setMonth", setFields<1, 2, false>, 2},
         {"setDate", setFields<2, 1, false>, 1}, {"setHours", setFields<3, 4, false>, 4},
         {"setMinutes", setFields<4, 3, false>, 3}, {"setSeconds", setFields<5, 2, false>, 2},
         {"setMilliseconds", setFields<6, 1, false>, 1},
         {"setUTCFullYear", setFields<0, 3, true>, 3}, {"setUTCMonth", setFields<1, 2, true>, 2},
         {"setUTCDate", setFields<2, 1, true>, 1}, {"setUTCHours", setFields<3, 4, true>, 4},
         {"setUTCMinutes", setFields<4, 3, true>, 3}, {"setUTCSeconds", setFields<5, 2, true>, 2},
         {"setUTCMilliseconds", setFields<6, 1, true>, 1},
         {"toString", text<DateMath::toText>}, {"toDateString", text<DateMath::dateText>},
         {"toTimeString", text<DateMath::timeText>}, {"toUTCString", text<DateMath::utcText>},
         {"toLocaleString", text<DateMath::localeText>}, {"toLocaleDateString", text<DateMath::dateText>},
         {"toLocaleTimeString", text<DateMath::localeTimeText>},
         {"get time", getField<8, true>}, {"set time", setTime},
         {"get fullYear", getField<0, false>}, {"set fullYear", setFields<0, 1, false>},
         {"get month", getField<1, false>}, {"set month", setFields<1, 1, false>},
         {"get date", getField<2, false>}, {"set date", setFields<2, 1, false>},
         {"get day", getField<7, false>},
         {"get hours", getField<3, false>}, {"set hours", setFields<3, 1, false>},
         {"get minutes", getField<4, false>}, {"set minutes", setFields<4, 1, false>},
         {"get seconds", getField<5, false>}, {"set seconds", setFields<5, 1, false>},
         {"get milliseconds", getField<6, false>}, {"set milliseconds", setFields<6, 1, false>},
         {"get fullYearUTC", getField<0, true>}, {"set fullYearUTC", setFields<0, 1, true>},
         {"get monthUTC", getField<1, true>}, {"set monthUTC", setFields<1, 1, true>},
         {"get dateUTC", getField<2, true>}, {"set dateUTC", setFields<2, 1, true>},
         {"get dayUTC", getField<7, true>},
         {"get hoursUTC", getField<3, true>}, {"set hoursUTC", setFields<3, 1, true>},
         {"get minutesUTC", getField<4, true>}, {"set minutesUTC", setFields<4, 1, true>},
         {"get secondsUTC", getField<5, true>}, {"set secondsUTC", setFields<5, 1, true>},
         {"get millisecondsUTC", getField<6, true>}, {"set millisecondsUTC", setFields<6, 1, true>},
         {"get timezoneOffset", getField<9, false>}},
        {{"UTC", utc, 7}, {"parse", parse, 1}});
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 7};
    cls->callAsFunction = callAsFunction;
    // Date.prototype is itself a date, an invalid one.
    cls->prototype->type = ScriptObject::Type::Date;
    cls->prototype->primitive = Value::number(std::nan(""));
}

} // namespace nimbrel::movie::avm2
