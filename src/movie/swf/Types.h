#pragma once
// Plain SWF value types shared by the reader, the display list and the renderer.
// Coordinates are in twips (1/20 pixel of the stage).
#include <cstdint>
#include <QTransform>
#include <QColor>
#include <QRectF>

namespace nimbrel::movie::swf {

struct Rect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    int32_t width() const { return xMax - xMin; }
    int32_t height() const { return yMax - yMin; }
    QRectF toQRectF() const { return QRectF(xMin, yMin, double(xMax) - xMin, double(yMax) - yMin); }
};

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    QColor toQColor() const { return QColor(r, g, b, a); }
    bool operator==(const Rgba&) const = default;
};

// Affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty (SWF's scale/rotate-skew layout).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1;
    double tx = 0, ty = 0; // twips
    QTransform toQTransform() const { return QTransform(a, b, c, d, tx, ty); }
    Matrix operator*(const Matrix& inner) const; // this applied after inner
    bool operator==(const Matrix&) const = default;
};

// Colour transform: channel' = channel * mult / 256 + add, clamped to 0..255.
struct ColorTransform {
    int16_t rMult = 256, gMult = 256, bMult = 256, aMult = 256;
    int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
    bool isIdentity() const {
        return rMult == 256 && gMult == 256 && bMult == 256 && aMult == 256 && rAdd == 0 && gAdd == 0 &&
               bAdd == 0 && aAdd == 0;
    }
    Rgba apply(Rgba c) const;
    ColorTransform operator*(const ColorTransform& inner) const; // this applied after inner
    bool operator==(const ColorTransform&) const = default;
};

} // namespace nimbrel::movie::swf
