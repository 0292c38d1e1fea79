#include "movie/avm1/ColorTransformObject.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {
int16_t fixed(double v)
{
    // NaN counts as nothing; the fixed-point fields saturate.
    if (std::isnan(v))
        return 0;
    return int16_t(std::clamp(v, -32768.0, 32767.0));
}
} // namespace

swf::ColorTransform ColorTransformObject::toSwf() const
{
    swf::ColorTransform cx;
    cx.rMult = fixed(mult[0] * 256);
    cx.gMult = fixed(mult[1] * 256);
    cx.bMult = fixed(mult[2] * 256);
    cx.aMult = fixed(mult[3] * 256);
    cx.rAdd = fixed(add[0]);
    cx.gAdd = fixed(add[1]);
    cx.bAdd = fixed(add[2]);
    cx.aAdd = fixed(add[3]);
    return cx;
}

void ColorTransformObject::setFromSwf(const swf::ColorTransform& cx)
{
    mult[0] = cx.rMult / 256.0;
    mult[1] = cx.gMult / 256.0;
    mult[2] = cx.bMult / 256.0;
    mult[3] = cx.aMult / 256.0;
    add[0] = cx.rAdd;
    add[1] = cx.gAdd;
    add[2] = cx.bAdd;
    add[3] = cx.aAdd;
}

} // namespace nimbrel::movie::avm1
