#pragma once
// Number <-> text conversions as the Flash player does them.
#include <QString>

namespace nimbrel::movie::avm1 {

// Up to 15 significant digits; exponent form below 1e-5 and from 1e15.
QString numberToString(double v);
// Number.toString(radix) for radix 2..36 other than 10 (integers only, as Flash does).
QString numberToRadixString(double v, int radix);
// Text to number for SWF 5 and later: whitespace, sign, decimal, hex (0x), exponent; else NaN.
// `emptyIsZero` reproduces SWF 4-6 where "" converts to 0.
double stringToNumber(const QString& s, int swfVersion);
// parseInt / parseFloat.
double parseIntText(const QString& s, int radix, bool radixGiven);
double parseFloatText(const QString& s);
// ECMA ToInt32.
int32_t toInt32(double v);
// The nearest int, truncating toward zero and saturating; NaN is 0. For frame
// numbers, depths and counts that scripts may give as any number at all.
int clampToInt(double v);

} // namespace nimbrel::movie::avm1
