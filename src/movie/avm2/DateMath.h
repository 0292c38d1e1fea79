#pragma once
// ECMA-262 time values (milliseconds since 1970 UTC, NaN when invalid):
// fields both ways, the local time zone, and the text forms Date prints and reads.
#include <QString>
#include <array>

namespace nimbrel::movie::avm2 {

class DateMath {
public:
    // year, month (0-11), date (1-31), hours, minutes, seconds, milliseconds
    using Fields = std::array<double, 7>;

    static Fields fields(double t);
    static double make(const Fields& f); // NaN when any field is not finite
    static int weekDay(double t);
    static double clip(double t);
    static double localOffset(double utc); // ms to add to UTC for local time
    static double toLocal(double utc) { return utc + localOffset(utc); }
    static double toUtc(double local);

    static QString toText(double utc);       // "Wed Dec 31 16:00:00 GMT-0800 1969"
    static QString dateText(double utc);     // "Wed Dec 31 1969"
    static QString timeText(double utc);     // "16:00:00 GMT-0800"
    static QString utcText(double utc);      // "Thu Jan 1 00:00:00 1970 UTC"
    static QString localeText(double utc);   // "Wed Dec 31 1969 04:00:00 PM"
    static QString localeTimeText(double utc);
    static double parse(const QString& text);
};

} // namespace nimbrel::movie::avm2
