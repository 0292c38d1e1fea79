#include "movie/swf/BitReader.h"
#include <cmath>
#include <cstring>

namespace nimbrel::movie::swf {

void BitReader::seek(size_t pos) {
    align();
    if (pos > size_) {
        failed_ = true;
        pos_ = size_;
    } else {
        pos_ = pos;
    }
}

void BitReader::skip(size_t n) {
    align();
    if (n > remaining()) {
        failed_ = true;
        pos_ = size_;
    } else {
        pos_ += n;
    }
}

uint8_t BitReader::u8() {
    align();
    if (pos_ >= size_) {
        failed_ = true;
        return 0;
    }
    return data_[pos_++];
}

uint16_t BitReader::u16() {
    uint16_t lo = u8();
    return uint16_t(lo | (uint16_t(u8()) << 8));
}

uint32_t BitReader::u32() {
    uint32_t lo = u16();
    return lo | (uint32_t(u16()) << 16);
}

float BitReader::f32() {
    uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

double BitReader::f64() {
    uint64_t hi = u32();
    uint64_t lo = u32();
    uint64_t bits = (hi << 32) | lo;
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

double BitReader::fixed16() { return s32() / 65536.0; }
double BitReader::fixed8() { return s16() / 256.0; }

float BitReader::half() {
    uint16_t h = u16();
    int sign = (h >> 15) & 1, exp = (h >> 10) & 0x1f, man = h & 0x3ff;
    float v;
    if (exp == 0) v = std::ldexp(float(man), -24);
    else if (exp == 31) v = man ? NAN : INFINITY;
    else v = std::ldexp(float(man | 0x400), exp - 25);
    return sign ? -v : v;
}

uint32_t BitReader::encodedU32() {
    uint32_t v = 0;
    for (int i = 0; i < 5; ++i) {
        uint8_t b = u8();
        v |= uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80)) break;
    }
    return v;
}

uint32_t BitReader::ub(int bits) {
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
        if (bitCount_ == 0) {
            if (pos_ >= size_) {
                failed_ = true;
                return 0;
            }
            bitBuf_ = data_[pos_++];
            bitCount_ = 8;
        }
        --bitCount_;
        v = (v << 1) | ((bitBuf_ >> bitCount_) & 1);
    }
    return v;
}

int32_t BitReader::sb(int bits) {
    if (bits <= 0) return 0;
    uint32_t v = ub(bits);
    if (bits < 32 && (v & (1u << (bits - 1)))) v |= ~0u << bits;
    return int32_t(v);
}

std::string BitReader::string() {
    align();
    std::string s;
    while (pos_ < size_) {
        char c = char(data_[pos_++]);
        if (c == 0) return s;
        s.push_back(c);
    }
    failed_ = true;
    return s;
}

Rect BitReader::rect() {
    align();
    int n = int(ub(5));
    Rect r;
    r.xMin = sb(n);
    r.xMax = sb(n);
    r.yMin = sb(n);
    r.yMax = sb(n);
    align();
    return r;
}

Matrix BitReader::matrix() {
    align();
    Matrix m;
    if (ub(1)) {
        int n = int(ub(5));
        m.a = fb(n);
        m.d = fb(n);
    }
    if (ub(1)) {
        int n = int(ub(5));
        m.b = fb(n);
        m.c = fb(n);
    }
    int n = int(ub(5));
    m.tx = sb(n);
    m.ty = sb(n);
    align();
    return m;
}

ColorTransform BitReader::cxform(bool withAlpha) {
    align();
    ColorTransform cx;
    bool hasAdd = ub(1), hasMult = ub(1);
    int n = int(ub(4));
    if (hasMult) {
        cx.rMult = int16_t(sb(n));
        cx.gMult = int16_t(sb(n));
        cx.bMult = int16_t(sb(n));
        if (withAlpha) cx.aMult = int16_t(sb(n));
    }
    if (hasAdd) {
        cx.rAdd = int16_t(sb(n));
        cx.gAdd = int16_t(sb(n));
        cx.bAdd = int16_t(sb(n));
        if (withAlpha) cx.aAdd = int16_t(sb(n));
    }
    align();
    return cx;
}

Rgba BitReader::rgb() {
    Rgba c;
    c.r = u8();
    c.g = u8();
    c.b = u8();
    return c;
}

Rgba BitReader::rgba() {
    Rgba c = rgb();
    c.a = u8();
    return c;
}

Rgba BitReader::argb() {
    Rgba c;
    c.a = u8();
    c.r = u8();
    c.g = u8();
    c.b = u8();
    return c;
}

} // namespace nimbrel::movie::swf
