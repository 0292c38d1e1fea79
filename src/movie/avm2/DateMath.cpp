#include "movie/avm2/DateMath.h"
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <ctime>

namespace nimbrel::movie::avm2 {

namespace {
constexpr double MsPerDay = 86400000.0;
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
double daysFromCivil(double y, int m, int d) {
    y -= m <= 2;
    const double era = std::floor(y / 400);
    const double yoe = y - era * 400;
    const double doy = std::floor((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5) + d - 1;
    const double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(double z, double& y, int& m, int& d) {
    z += 719468;
    const double era = std::floor(z / 146097);
    const double doe = z - era * 146097;
    const double yoe = std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    y = yoe + era * 400;
    const double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    const double mp = std::floor((5 * doy + 2) / 153);
    d = int(doy - std::floor((153 * mp + 2) / 5) + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y += m <= 2;
}

QString two(double v) { return QString::number(int(v)).rightJustified(2, QLatin1Char('0')); }

QString zoneText(double utc) {
    const int minutes = int(DateMath::localOffset(utc) / 60000);
    const int a = std::abs(minutes);
    return QStringLiteral("GMT%1%2%3").arg(minutes < 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(two(a / 60)).arg(two(a % 60));
}
} // namespace

DateMath::Fields DateMath::fields(double t) {
    Fields f{};
    const double day = std::floor(t / MsPerDay);
    double within = t - day * MsPerDay;
    double y;
    int m, d;
    civilFromDays(day, y, m, d);
    f[0] = y;
    f[1] = m - 1;
    f[2] = d;
    f[3] = std::floor(within / 3600000);
    within -= f[3] * 3600000;
    f[4] = std::floor(within / 60000);
    within -= f[4] * 60000;
    f[5] = std::floor(within / 1000);
    f[6] = within - f[5] * 1000;
    return f;
}

double DateMath::make(const Fields& f) {
    for (double v : f)
        if (!std::isfinite(v)) return std::nan("");
    const double year = std::trunc(f[0]) + std::floor(std::trunc(f[1]) / 12);
    const int month = int(std::trunc(f[1]) - std::floor(std::trunc(f[1]) / 12) * 12);
    const double day = daysFromCivil(year, month + 1, 1) + std::trunc(f[2]) - 1;
    const double time = std::trunc(f[3]) * 3600000 + std::trunc(f[4]) * 60000 + std::trunc(f[5]) * 1000 + std::trunc(f[6]);
    return day * MsPerDay + time;
}

int DateMath::weekDay(double t) {
    const int d = int(std::fmod(std::floor(t / MsPerDay) + 4, 7));
    return d < 0 ? d + 7 : d;
}

double DateMath::clip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) return std::nan("");
    return std::trunc(t) + 0.0;
}

double DateMath::localOffset(double utc) {
    if (!std::isfinite(utc)) return 0;
    // Outside what time_t covers well, the offset of a nearby year in range stands in.
    double seconds = std::floor(utc / 1000);
    if (seconds < -2147483648.0 || seconds > 2147483647.0) seconds = std::fmod(seconds, 2147483647.0);
    const time_t tt = time_t(seconds);
    struct tm local;
    if (!localtime_r(&tt, &local)) return 0;
    return double(local.tm_gmtoff) * 1000;
}

double DateMath::toUtc(double local) {
    const double guess = local - localOffset(local);
    return local - localOffset(guess);
}

QString DateMath::toText(double utc) {
    if (std::isnan(utc)) return QStringLiteral("Invalid Date");
    const Fields f = fields(toLocal(utc));
    return QStringLiteral("%1 %2 %3 %4:%5:%6 %7 %8")
        .arg(QLatin1String(kDays[weekDay(toLocal(utc))]), QLatin1String(kMonths[int(f[1])]))
        .arg(int(f[2])).arg(two(f[3]), two(f[4]), two(f[5]), zoneText(utc)).arg(qint64(f[0]));
}

QString DateMath::dateText(double utc) {
    if (std::isnan(utc)) return QStringLiteral("Invalid Date");
    const Fields f = fields(toLocal(utc));
    return QStringLiteral("%1 %2 %3 %4").arg(QLatin1String(kDays[weekDay(toLocal(utc))]), QLatin1String(kMonths[int(f[1])]))
        .arg(int(f[2])).arg(qint64(f[0]));
}

QString DateMath::timeText(double utc) {
    if (std::isnan(utc)) return QStringLiteral("Invalid Date");
    const Fields f = fields(toLocal(utc));
    return QStringLiteral("%1:%2:%3 %4").arg(two(f[3]), two(f[4]), two(f[5]), zoneText(utc));
}

QString DateMath::utcText(double utc) {
    if (std::isnan(utc)) return QStringLiteral("Invalid Date");
    const Fields f = fields(utc);
    return QStringLiteral("%1 %2 %3 %4:%5:%6 %7 UTC").arg(QLatin1String(kDays[weekDay(utc)]), QLatin1String(kMonths[int(f[1])]))
        .arg(int(f[2])).arg(two(f[3]), two(f[4]), two(f[5])).arg(qint64(f[0]));
}

QString DateMath::localeTimeText(double utc) {
    if (std::isnan(utc)) return QStringLiteral("Invalid Date");
    const Fields f = fields(toLocal(utc));
    const int h = int(f[3]) % 12 == 0 ? 12 : int(f[3]) % 12;
    return QStringLiteral("%1:%2:%3 %4").arg(two(h), two(f[4]), two(f[5]), f[3] < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString DateMath::localeText(double utc) {
    if (std::isnan(utc)) return QStringLiteral("Invalid Date");
    return dateText(utc) + QLatin1Char(' ') + localeTimeText(utc);
}

double DateMath::parse(const QString& text) {
    // Tokens in any order: a month name, day, year, h:m:s, AM/PM, GMT/UTC with an offset, m/d/y.
    double year = NAN, month = NAN, day = NAN, h = 0, mi = 0, s = 0;
    bool pm = false, am = false, utc = false;
    double offsetMinutes = 0;
    const QStringList tokens = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    for (QString tok : tokens) {
        const QString up = tok.toUpper();
        if (up.startsWith(QLatin1String("GMT")) || up.startsWith(QLatin1String("UTC"))) {
            utc = true;
            const QString rest = tok.mid(3);
            if (rest.size() >= 5 && (rest[0] == QLatin1Char('+') || rest[0] == QLatin1Char('-'))) {
                const int v = rest.mid(1, 4).toInt();
                offsetMinutes = (v / 100 * 60 + v % 100) * (rest[0] == QLatin1Char('-') ? -1 : 1);
            }
            continue;
        }
        if (up == QLatin1String("AM")) { am = true; continue; }
        if (up == QLatin1String("PM")) { pm = true; continue; }
        if (tok.contains(QLatin1Char(':'))) {
            const QStringList p = tok.split(QLatin1Char(':'));
            h = p.value(0).toDouble();
            mi = p.value(1).toDouble();
            s = p.value(2).toDouble();
            continue;
        }
        if (tok.contains(QLatin1Char('/'))) {
            const QStringList p = tok.split(QLatin1Char('/'));
            if (p.size() != 3) return NAN;
            month = p[0].toDouble() - 1;
            day = p[1].toDouble();
            year = p[2].toDouble();
            continue;
        }
        bool isNumber = false;
        const double n = tok.toDouble(&isNumber);
        if (isNumber) {
            if (std::isnan(day) && n <= 31 && tok.size() <= 2) day = n;
            else year = n;
            continue;
        }
        bool known = false;
        for (int i = 0; i < 12; ++i)
            if (up.startsWith(QString::fromLatin1(kMonths[i]).toUpper())) { month = i; known = true; }
        for (const char* d : kDays)
            if (up.startsWith(QString::fromLatin1(d).toUpper())) known = true;
        if (!known) return NAN;
    }
    if (std::isnan(year) || std::isnan(month) || std::isnan(day)) return NAN;
    if (pm && h < 12) h += 12;
    if (am && h == 12) h = 0;
    const double t = make({year, month, day, h, mi, s, 0});
    return utc ? t - offsetMinutes * 60000 : toUtc(t);
}

} // namespace nimbrel::movie::avm2
