// Date: time values in milliseconds since 1970, local and UTC fields.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include <QDateTime>
#include <QTimeZone>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;

double day(double t) { return std::floor(t / kMsPerDay); }
double daysInYear(double y)
{
    if (std::fmod(y, 4) != 0) return 365;
    if (std::fmod(y, 100) != 0) return 366;
    if (std::fmod(y, 400) != 0) return 365;
    return 366;
}
double dayFromYear(double y)
{
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) + std::floor((y - 1601) / 400);
}
double yearFromTime(double t)
{
    double y = std::floor(t / (kMsPerDay * 365.2425)) + 1970;
    while (dayFromYear(y) * kMsPerDay > t) --y;
    while (dayFromYear(y + 1) * kMsPerDay <= t) ++y;
    return y;
}
bool leap(double y) { return daysInYear(y) == 366; }
const int kCum[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
double monthStart(int m, bool lp) { return kCum[m] + (lp && m >= 2 ? 1 : 0); }
int monthFromTime(double t)
{
    double y = yearFromTime(t);
    double d = day(t) - dayFromYear(y);
    bool lp = leap(y);
    for (int m = 0; m < 12; ++m)
        if (d < monthStart(m + 1, lp))
            return m;
    return 11;
}
double dateFromTime(double t)
{
    double y = yearFromTime(t);
    return day(t) - dayFromYear(y) - monthStart(monthFromTime(t), leap(y)) + 1;
}
double makeDay(double year, double month, double date)
{
    double y = year + std::floor(month / 12);
    double m = std::fmod(month, 12);
    if (m < 0) m += 12;
    return dayFromYear(y) + monthStart(int(m), leap(y)) + date - 1;
}
double makeTime(double h, double mi, double s, double ms) { return h * 3600000 + mi * 60000 + s * 1000 + ms; }
double posMod(double a, double b) { double r = std::fmod(a, b); return r < 0 ? r + b : r; }

double localOffset(double t)
{
    if (!std::isfinite(t))
        return 0;
    QDateTime dt = QDateTime::fromMSecsSinceEpoch(qint64(t), QTimeZone::systemTimeZone());
    return dt.offsetFromUtc() * 1000.0;
}

struct Fields {
    double year, month, date, hours, minutes, seconds, ms, dayOfWeek;
};
Fields split(double t)
{
    return {yearFromTime(t), double(monthFromTime(t)), dateFromTime(t), std::floor(posMod(t, kMsPerDay) / 3600000),
            std::floor(posMod(t, 3600000) / 60000), std::floor(posMod(t, 60000) / 1000), posMod(t, 1000),
            posMod(day(t) + 4, 7)};
}

double timeOf(Interpreter& vm, const Value& self)
{
    if (Object* o = self.object(); o && o->hasPrimitive)
        return vm.toNumber(o->primitive);
    return std::nan("");
}

void setTime(const Value& self, double t)
{
    if (Object* o = self.object()) {
        if (!std::isfinite(t) || std::fabs(t) > 8.64e15)
            t = std::nan("");
        o->hasPrimitive = true;
        o->primitive = Value(t);
    }
}

QString formatDate(double t)
{
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (std::isnan(t))
        return QStringLiteral("Invalid Date");
    double off = localOffset(t);
    Fields f = split(t + off);
    int offMin = int(off / 60000);
    QString sign = offMin < 0 ? QStringLiteral("-") : QStringLiteral("+");
    offMin = std::abs(offMin);
    return QStringLiteral("%1 %2 %3 %4:%5:%6 GMT%7%8%9 %10")
        .arg(QLatin1String(days[int(f.dayOfWeek)]), QLatin1String(months[int(f.month)]))
        .arg(int(f.date))
        .arg(int(f.hours), 2, 10, QLatin1Char('0'))
        .arg(int(f.minutes), 2, 10, QLatin1Char('0'))
        .arg(int(f.seconds), 2, 10, QLatin1Char('0'))
        .arg(sign)
        .arg(offMin / 60, 2, 10, QLatin1Char('0'))
        .arg(offMin % 60, 2, 10, QLatin1Char('0'))
        .arg(int(f.year));
}

} // namespace

void installDateClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.dateProto = proto;
    auto fromArgs = [](Interpreter& vm, const std::vector<Value>& args, bool utc) -> double {
        double comp[7] = {0, 0, 1, 0, 0, 0, 0};
        for (size_t i = 0; i < args.size() && i < 7; ++i)
            comp[i] = vm.toNumber(args[i]);
        for (double c : comp)
            if (!std::isfinite(c))
                return std::nan("");
        double y = std::trunc(comp[0]);
        if (y >= 0 && y <= 99)
            y += 1900;
        double t = makeDay(y, std::trunc(comp[1]), std::trunc(comp[2])) * kMsPerDay +
                   makeTime(std::trunc(comp[3]), std::trunc(comp[4]), std::trunc(comp[5]), std::trunc(comp[6]));
        return utc ? t : t - localOffset(t);
    };
    auto* ctor = vm.newClass(
        QStringLiteral("Date"),
        [](Interpreter&, const Value&, const std::vector<Value>&) -> Value {
            return Value(formatDate(double(QDateTime::currentMSecsSinceEpoch())));
        },
        [fromArgs](Interpreter& vm, Object* obj, const std::vector<Value>& args) -> Value {
            double t;
            if (args.empty() || args[0].isUndefined())
                t = double(QDateTime::currentMSecsSinceEpoch());
            else if (args.size() == 1)
                t = vm.toNumber(args[0]);
            else
                t = fromArgs(vm, args, false);
            setTime(Value(obj), t);
            return Value(obj);
        },
        proto);
    vm.addMethod(ctor, QStringLiteral("UTC"), [fromArgs](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        return Value(fromArgs(vm, args, true));
    });
    vm.addMethod(proto, QStringLiteral("getTime"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) { return Value(timeOf(vm, self)); });
    vm.addMethod(proto, QStringLiteral("valueOf"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) { return Value(timeOf(vm, self)); });
    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) { return Value(formatDate(timeOf(vm, self))); });
    vm.addMethod(proto, QStringLiteral("getTimezoneOffset"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) {
        return Value(-localOffset(timeOf(vm, self)) / 60000);
    });
    vm.addMethod(proto, QStringLiteral("setTime"), [](Interpreter& vm, const Value& self, const std::vector<Value>& args) {
        setTime(self, vm.toNumber(arg(args, 0)));
        return Value(timeOf(vm, self));
    });
    struct Getter { const char* name; int field; };
    const Getter getters[] = {{"FullYear", 0}, {"Month", 1}, {"Date", 2}, {"Hours", 3}, {"Minutes", 4},
                              {"Seconds", 5}, {"Milliseconds", 6}, {"Day", 7}, {"Year", 8}};
    for (const Getter& gt : getters) {
        for (bool utc : {false, true}) {
            if (gt.field == 8 && utc)
                continue;
            int field = gt.field;
            QString name = QStringLiteral("get") + (utc ? QStringLiteral("UTC") : QString()) + QLatin1String(gt.name);
            vm.addMethod(proto, name, [field, utc](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
                double t = timeOf(vm, self);
                if (std::isnan(t))
                    return Value(std::nan(""));
                Fields f = split(utc ? t : t + localOffset(t));
                const double v[] = {f.year, f.month, f.date, f.hours, f.minutes, f.seconds, f.ms, f.dayOfWeek, f.year - 1900};
                return Value(v[field]);
            });
        }
    }
    // Setters: the field they start at and how many arguments they take.
    struct Setter { const char* name; int first; int count; };
    const Setter setters[] = {{"FullYear", 0, 3}, {"Month", 1, 2}, {"Date", 2, 1}, {"Hours", 3, 4},
                              {"Minutes", 4, 3}, {"Seconds", 5, 2}, {"Milliseconds", 6, 1}, {"Year", 0, 3}};
    for (const Setter& st : setters) {
        for (bool utc : {false, true}) {
            int first = st.first, count = st.count;
            bool isYear = QLatin1String(st.name) == QLatin1String("Year");
            if (isYear && utc)
                continue;
            QString name = QStringLiteral("set") + (utc ? QStringLiteral("UTC") : QString()) + QLatin1String(st.name);
            vm.addMethod(proto, name, [first, count, utc, isYear](Interpreter& vm, const Value& self, const std::vector<Value>& args) -> Value {
                double t = timeOf(vm, self);
                if (std::isnan(t))
                    t = 0;
                double local = utc ? t : t + localOffset(t);
                Fields f = split(local);
                double v[7] = {f.year, f.month, f.date, f.hours, f.minutes, f.seconds, f.ms};
                for (int i = 0; i < count && size_t(i) < args.size(); ++i)
                    v[first + i] = vm.toNumber(args[size_t(i)]);
                if (isYear && v[0] >= 0 && v[0] <= 99)
                    v[0] += 1900;
                for (double c : v)
                    if (!std::isfinite(c)) {
                        setTime(self, std::nan(""));
                        return Value(std::nan(""));
                    }
                double nt = makeDay(std::trunc(v[0]), std::trunc(v[1]), std::trunc(v[2])) * kMsPerDay +
                            makeTime(std::trunc(v[3]), std::trunc(v[4]), std::trunc(v[5]), std::trunc(v[6]));
                if (!utc)
                    nt -= localOffset(nt);
                setTime(self, nt);
                return Value(timeOf(vm, self));
            });
        }
    }
}

} // namespace nimbrel::movie::avm1
