#include "movie/avm2/NumberText.h"
#include "movie/avm1/NumberFormat.h"
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace nimbrel::movie::avm2 {

namespace {
// Shortest round-trip digits of |v| (> 0, finite) and the decimal point position n (value = 0.digits * 10^n).
void shortestDigits(double v, QString& digits, int& n) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    QString text = QString::fromLatin1(buf, int(res.ptr - buf));
    const int e = text.indexOf(QLatin1Char('e'));
    digits = text.left(e).remove(QLatin1Char('.'));
    n = text.mid(e + 1).toInt() + 1;
}

QString trimExponent(QString s) {
    // printf's "e+05" is ActionScript's "e+5".
    const int e = s.indexOf(QLatin1Char('e'));
    if (e < 0) return s;
    QString mantissa = s.left(e), sign = s.mid(e + 1, 1);
    int exponent = s.mid(e + 2).toInt();
    return mantissa + QLatin1Char('e') + sign + QString::number(exponent);
}
} // namespace

QString NumberText::format(double v) {
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (v == 0) return QStringLiteral("0");
    const bool negative = v < 0;
    QString digits;
    int n = 0;
    shortestDigits(std::fabs(v), digits, n);
    const int k = int(digits.size());
    QString out;
    if (k <= n && n <= 21) {
        out = digits + QString(n - k, QLatin1Char('0'));
    } else if (0 < n && n <= 21) {
        out = digits.left(n) + QLatin1Char('.') + digits.mid(n);
    } else if (-6 < n && n <= 0) {
        out = QStringLiteral("0.") + QString(-n, QLatin1Char('0')) + digits;
    } else {
        out = digits.left(1);
        if (k > 1) out += QLatin1Char('.') + digits.mid(1);
        out += QLatin1Char('e') + QString(n - 1 >= 0 ? QStringLiteral("+") : QStringLiteral("-")) + QString::number(std::abs(n - 1));
    }
    return negative ? QLatin1Char('-') + out : out;
}

double NumberText::parse(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    QString body = t;
    bool negative = false;
    if (body.startsWith(QLatin1Char('-')) || body.startsWith(QLatin1Char('+'))) {
        negative = body[0] == QLatin1Char('-');
        body = body.mid(1);
    }
    if (body == QLatin1String("Infinity")) return negative ? -INFINITY : INFINITY;
    if (body.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qulonglong h = body.mid(2).toULongLong(&ok, 16);
        if (!ok || body.size() < 3) return std::nan("");
        return negative ? -double(h) : double(h);
    }
    // Digits, one point, an optional exponent and nothing else.
    int i = 0, digits = 0;
    const int len = int(body.size());
    while (i < len && body[i].isDigit()) { ++i; ++digits; }
    if (i < len && body[i] == QLatin1Char('.')) {
        ++i;
        while (i < len && body[i].isDigit()) { ++i; ++digits; }
    }
    if (digits == 0) return std::nan("");
    if (i < len && (body[i] == QLatin1Char('e') || body[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < len && (body[j] == QLatin1Char('+') || body[j] == QLatin1Char('-'))) ++j;
        const int start = j;
        while (j < len && body[j].isDigit()) ++j;
        if (j == start) return std::nan("");
        i = j;
    }
    if (i != len) return std::nan("");
    const double v = std::strtod(body.toLatin1().constData(), nullptr);
    return negative ? -v : v;
}

QString NumberText::toRadix(double v, int radix) {
    if (radix == 10) return format(v);
    if (std::isnan(v) || std::isinf(v)) return format(v);
    const bool negative = v < 0;
    double whole = std::floor(std::fabs(v));
    if (whole < 9007199254740992.0) {
        QString out = QString::number(qulonglong(whole), radix);
        return negative && whole != 0 ? QLatin1Char('-') + out : out;
    }
    return avm1::numberToRadixString(v, radix);
}

QString NumberText::toFixed(double v, int digits) {
    if (std::isnan(v) || std::isinf(v)) return format(v);
    if (std::fabs(v) >= 1e21) return format(v);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", digits, v);
    QString s = QString::fromLatin1(buf);
    if (s.startsWith(QLatin1Char('-')) && s.mid(1).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty()) s = s.mid(1);
    return s;
}

QString NumberText::toExponential(double v, int digits) {
    if (std::isnan(v) || std::isinf(v)) return format(v);
    char buf[400];
    if (digits < 0) {
        QString d;
        int n = 0;
        if (v == 0) return QStringLiteral("0e+0");
        shortestDigits(std::fabs(v), d, n);
        digits = int(d.size()) - 1;
    }
    std::snprintf(buf, sizeof buf, "%.*e", digits, v);
    return trimExponent(QString::fromLatin1(buf));
}

QString NumberText::toPrecision(double v, int precision) {
    if (std::isnan(v) || std::isinf(v)) return format(v);
    if (v == 0) return precision > 1 ? QStringLiteral("0.") + QString(precision - 1, QLatin1Char('0')) : QStringLiteral("0");
    const int e = int(std::floor(std::log10(std::fabs(v))));
    char buf[400];
    if (e < -6 || e >= precision) {
        std::snprintf(buf, sizeof buf, "%.*e", precision - 1, v);
        return trimExponent(QString::fromLatin1(buf));
    }
    std::snprintf(buf, sizeof buf, "%.*f", std::max(0, precision - 1 - e), v);
    return QString::fromLatin1(buf);
}

} // namespace nimbrel::movie::avm2
