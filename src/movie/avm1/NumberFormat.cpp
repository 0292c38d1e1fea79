#include "movie/avm1/NumberFormat.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {

// v as [-]d.dddddddddddddde[+-]XX with 15 significant digits. The player
// scales the value into [1, 10) by a negative power of ten (dividing by it
// for small values, multiplying for large ones) and rounds what that gives,
// so a value just below a half at the 16th digit may round either way.
void roundedMantissa(double v, char* buf, size_t size)
{
    const double magnitude = std::fabs(v);
    int exponent = int(std::floor(std::log10(magnitude)));
    auto scaled = [magnitude](int e) {
        if (e == 0)
            return magnitude;
        return e < 0 ? magnitude / std::pow(10.0, e) : magnitude * std::pow(10.0, -e);
    };
    double m = scaled(exponent);
    if (m >= 10.0)
        m = scaled(++exponent);
    else if (m < 1.0 && m * 10.0 < 9.999999999999995)
        m = scaled(--exponent);
    char digits[32];
    if (!std::isfinite(m) || m <= 0.0 || m >= 10.0 ||
        std::snprintf(digits, sizeof digits, "%.14f", m) != 16 || digits[1] != '.' || digits[0] == '0') {
        // Beyond what the scaling can reach (the far subnormals): plain rounding.
        std::snprintf(buf, size, "%.14e", v);
        return;
    }
    std::snprintf(buf, size, "%s%se%c%02d", v < 0 ? "-" : "", digits, exponent < 0 ? '-' : '+', std::abs(exponent));
}

} // namespace

QString numberToString(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (v == 0)
        return QStringLiteral("0");
    char buf[64];
    roundedMantissa(v, buf, sizeof buf);
    if (std::isinf(std::strtod(buf, nullptr))) {
        // Rounding up past the largest double would print a number that reads
        // back as Infinity; the player cuts the digits off instead.
        std::snprintf(buf, sizeof buf, "%.20e", v);
        char* e = std::strchr(buf, 'e');
        const int mantissaEnd = (buf[0] == '-' ? 1 : 0) + 16;
        std::memmove(buf + mantissaEnd, e, std::strlen(e) + 1);
    }
    // buf: [-]d.dddddddddddddde[+-]XX
    QString text = QString::fromLatin1(buf);
    const int ePos = text.indexOf(QLatin1Char('e'));
    int exponent = text.mid(ePos + 1).toInt();
    QString mantissa = text.left(ePos);
    bool negative = mantissa.startsWith(QLatin1Char('-'));
    if (negative)
        mantissa.remove(0, 1);
    QString digits = mantissa.left(1) + mantissa.mid(2);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString out;
    if (exponent >= 15 || exponent < -5) {
        out = digits.left(1);
        if (digits.size() > 1)
            out += QLatin1Char('.') + digits.mid(1);
        out += QLatin1Char('e') + QString(exponent >= 0 ? QStringLiteral("+") : QStringLiteral("-")) +
               QString::number(std::abs(exponent));
    } else if (exponent < 0) {
        out = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= exponent + 1) {
        out = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        out = digits.left(exponent + 1) + QLatin1Char('.') + digits.mid(exponent + 1);
    }
    return negative ? QLatin1Char('-') + out : out;
}

QString numberToRadixString(double v, int radix)
{
    if (std::isnan(v) || std::isinf(v))
        return numberToString(v);
    int32_t iv = toInt32(v);
    bool negative = iv < 0;
    uint32_t mag = negative ? uint32_t(-int64_t(iv)) : uint32_t(iv);
    QString out;
    do {
        int d = mag % radix;
        out.prepend(QLatin1Char(d < 10 ? char('0' + d) : char('a' + d - 10)));
        mag /= radix;
    } while (mag);
    return negative ? QLatin1Char('-') + out : out;
}

static bool isNumberSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
           c == QChar(0x0B) || c == QChar(0x0C);
}

double stringToNumber(const QString& s, int swfVersion)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    int i = 0;
    const int n = s.size();
    while (i < n && isNumberSpace(s[i]))
        ++i;
    if (i == n)
        return swfVersion >= 7 || (swfVersion >= 5 && n > 0) ? nan : 0.0;
    const double invalid = swfVersion < 5 ? 0.0 : nan;
    if (swfVersion < 5) {
        // SWF 4 reads the longest numeric prefix; "Infinity" is no number there.
        double v = parseFloatText(s);
        return std::isfinite(v) ? v : 0.0;
    }
    // Octal: a leading zero followed only by octal digits (SWF 6 and later);
    // leading blanks make the text decimal.
    if (swfVersion >= 6 && i == 0) {
        int j = i;
        bool neg = false;
        if (j < n && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+'))) {
            neg = s[j] == QLatin1Char('-');
            ++j;
        }
        if (j + 1 < n && s[j] == QLatin1Char('0')) {
            bool octal = true;
            double acc = 0;
            for (int k = j + 1; k < n; ++k) {
                ushort c = s[k].unicode();
                if (c < '0' || c > '7') {
                    octal = false;
                    break;
                }
                acc = acc * 8 + (c - '0');
            }
            if (octal)
                return neg ? -acc : acc;
        }
    }
    // Hexadecimal (SWF 6 and later): 0x at the very start, the sign after it;
    // a sign or blank before it leaves the text to the decimal reading, where
    // it is no number.
    {
        int j = i;
        bool neg = false;
        if (swfVersion >= 6 && i == 0 && j + 1 < n && s[j] == QLatin1Char('0') && (s[j + 1] == QLatin1Char('x') || s[j + 1] == QLatin1Char('X'))) {
            j += 2;
            if (j < n && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+'))) {
                neg = s[j] == QLatin1Char('-');
                ++j;
            }
            if (j == n)
                return invalid;
            // Hex text is a 32-bit integer in the player: only the last eight
            // digits count, read exactly however many come before them.
            uint32_t acc = 0;
            for (; j < n; ++j) {
                ushort c = s[j].unicode();
                uint32_t d;
                if (c >= '0' && c <= '9') d = c - '0';
                else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
                else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
                else return invalid;
                acc = (acc << 4) | d;
            }
            // The negated digits wrap into 32 bits too: 0x-ffffffff is 1.
            return double(int32_t(neg ? uint32_t(0u - acc) : acc));
        }
    }
    QByteArray latin;
    latin.reserve(n - i);
    int j = i;
    if (j < n && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+')))
        latin.append(char(s[j++].unicode()));
    if (QStringView(s).mid(j).startsWith(QLatin1String("Infinity")))
        return invalid;
    int digits = 0;
    while (j < n && s[j].isDigit() && s[j].unicode() < 128) { latin.append(char(s[j++].unicode())); ++digits; }
    if (j < n && s[j] == QLatin1Char('.')) {
        latin.append('.');
        ++j;
        while (j < n && s[j].unicode() < 128 && s[j].isDigit()) { latin.append(char(s[j++].unicode())); ++digits; }
    }
    if (digits == 0)
        return invalid;
    if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
        int k = j + 1;
        QByteArray exp("e");
        if (k < n && (s[k] == QLatin1Char('-') || s[k] == QLatin1Char('+')))
            exp.append(char(s[k++].unicode()));
        int ed = 0;
        while (k < n && s[k].unicode() < 128 && s[k].isDigit()) { exp.append(char(s[k++].unicode())); ++ed; }
        if (ed > 0) {
            latin.append(exp);
            j = k;
        } else if (k == n) {
            j = n; // an exponent marker ending the text, digitless, is left out
        } else {
            return invalid;
        }
    }
    if (j != n)
        return invalid;
    return std::strtod(latin.constData(), nullptr);
}

double parseIntText(const QString& s, int radix, bool radixGiven)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    int i = 0;
    const int n = s.size();
    auto isX = [&](int k) { return k < n && (s[k] == QLatin1Char('x') || s[k] == QLatin1Char('X')); };
    auto isSign = [&](int k) { return k < n && (s[k] == QLatin1Char('-') || s[k] == QLatin1Char('+')); };
    // A hex prefix counts only at the very start, before any blank or sign, and is skipped whatever the radix.
    const bool hexPrefix = n >= 2 && s[0] == QLatin1Char('0') && isX(1);
    if (hexPrefix) {
        i = 2;
        if (!radixGiven)
            radix = 16;
    } else if (!radixGiven) {
        radix = 10;
        // Octal only when the whole text (after an optional sign) is a zero followed by octal digits.
        int k = isSign(0) ? 1 : 0;
        if (k + 1 < n && s[k] == QLatin1Char('0')) {
            bool allOctal = true;
            for (; k < n; ++k)
                if (s[k] < QLatin1Char('0') || s[k] > QLatin1Char('7')) { allOctal = false; break; }
            if (allOctal)
                radix = 8;
        }
    }
    while (i < n && isNumberSpace(s[i]))
        ++i;
    bool neg = false;
    if (isSign(i)) {
        neg = s[i] == QLatin1Char('-');
        ++i;
        // A sign glued to a hex-looking start is not a number; where x is a digit, the sign is dropped.
        if (i == 1 && i + 1 < n && s[i] == QLatin1Char('0') && isX(i + 1)) {
            if (radix <= 33)
                return nan;
            neg = false;
        }
    }
    if (radix < 2 || radix > 36)
        return nan;
    double acc = 0;
    int count = 0;
    for (; i < n; ++i) {
        ushort c = s[i].unicode();
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'z') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'Z') d = c - 'A' + 10;
        else break;
        if (d >= radix)
            break;
        acc = acc * radix + d;
        ++count;
    }
    if (count == 0)
        return nan;
    return neg ? -acc : acc;
}

double parseFloatText(const QString& s)
{
    int i = 0;
    const int n = s.size();
    while (i < n && isNumberSpace(s[i]))
        ++i;
    QByteArray latin;
    int j = i;
    if (j < n && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+')))
        latin.append(char(s[j++].unicode()));
    if (QStringView(s).mid(j).startsWith(QLatin1String("Infinity")))
        return latin.startsWith('-') ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    int digits = 0;
    while (j < n && s[j].unicode() < 128 && s[j].isDigit()) { latin.append(char(s[j++].unicode())); ++digits; }
    if (j < n && s[j] == QLatin1Char('.')) {
        latin.append('.');
        ++j;
        while (j < n && s[j].unicode() < 128 && s[j].isDigit()) { latin.append(char(s[j++].unicode())); ++digits; }
    }
    if (digits == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
        int k = j + 1;
        QByteArray exp("e");
        if (k < n && (s[k] == QLatin1Char('-') || s[k] == QLatin1Char('+')))
            exp.append(char(s[k++].unicode()));
        int ed = 0;
        while (k < n && s[k].unicode() < 128 && s[k].isDigit()) { exp.append(char(s[k++].unicode())); ++ed; }
        if (ed > 0)
            latin.append(exp);
    }
    return std::strtod(latin.constData(), nullptr);
}

int32_t toInt32(double v)
{
    if (std::isnan(v) || std::isinf(v))
        return 0;
    double t = std::trunc(v);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return int32_t(uint32_t(m));
}

int clampToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(v);
}

} // namespace nimbrel::movie::avm1
