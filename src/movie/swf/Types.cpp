#include "movie/swf/Types.h"
#include <algorithm>

namespace nimbrel::movie::swf {

Matrix Matrix::operator*(const Matrix& m) const {
    Matrix r;
    r.a = a * m.a + c * m.b;
    r.b = b * m.a + d * m.b;
    r.c = a * m.c + c * m.d;
    r.d = b * m.c + d * m.d;
    r.tx = a * m.tx + c * m.ty + tx;
    r.ty = b * m.tx + d * m.ty + ty;
    return r;
}

static uint8_t channel(int v, int mult, int add) {
    return uint8_t(std::clamp(v * mult / 256 + add, 0, 255));
}

Rgba ColorTransform::apply(Rgba c) const {
    return Rgba{channel(c.r, rMult, rAdd), channel(c.g, gMult, gAdd), channel(c.b, bMult, bAdd),
                channel(c.a, aMult, aAdd)};
}

static int16_t clamp16(int v) { return int16_t(std::clamp(v, -32768, 32767)); }

ColorTransform ColorTransform::operator*(const ColorTransform& in) const {
    ColorTransform r;
    r.rMult = clamp16(rMult * in.rMult / 256);
    r.gMult = clamp16(gMult * in.gMult / 256);
    r.bMult = clamp16(bMult * in.bMult / 256);
    r.aMult = clamp16(aMult * in.aMult / 256);
    r.rAdd = clamp16(rAdd + in.rAdd * rMult / 256);
    r.gAdd = clamp16(gAdd + in.gAdd * gMult / 256);
    r.bAdd = clamp16(bAdd + in.bAdd * bMult / 256);
    r.aAdd = clamp16(aAdd + in.aAdd * aMult / 256);
    return r;
}

} // namespace nimbrel::movie::swf
