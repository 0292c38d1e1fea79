#pragma once
// Number <-> text as ActionScript 3 does it: the shortest digits that read
// back to the same double, in the ECMA-262 layout.
#include <QString>

namespace nimbrel::movie::avm2 {

class NumberText {
public:
    static QString format(double v);
    // Number(string): surrounding whitespace ignored, "" is 0, hex with 0x, Infinity; else NaN.
    static double parse(const QString& text);
    static QString toRadix(double v, int radix);
    static QString toFixed(double v, int digits);
    static QString toExponential(double v, int digits); // digits < 0: as many as needed
    static QString toPrecision(double v, int precision);
};

} // namespace nimbrel::movie::avm2
