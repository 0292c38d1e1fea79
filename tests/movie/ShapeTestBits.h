#pragma once
// Writes SWF bit fields for building tag bodies inside tests.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace nimbrel::movie::test {

class TestBits {
public:
    void ub(int n, uint32_t v) {
        for (int i = n - 1; i >= 0; --i) {
            if (bit_ == 0) bytes_.push_back(0);
            if ((v >> i) & 1) bytes_.back() |= uint8_t(0x80 >> bit_);
            bit_ = (bit_ + 1) & 7;
        }
    }
    void sb(int n, int32_t v) { ub(n, uint32_t(v) & (n >= 32 ? ~0u : ((1u << n) - 1))); }
    void align() { bit_ = 0; }
    void u8(uint8_t v) {
        align();
        bytes_.push_back(v);
    }
    void u16(uint16_t v) {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
    }
    void u32(uint32_t v) {
        u16(uint16_t(v));
        u16(uint16_t(v >> 16));
    }
    void f32(float f) {
        uint32_t b;
        static_assert(sizeof b == sizeof f);
        std::memcpy(&b, &f, 4);
        u32(b);
    }
    void fixed16(double v) { u32(uint32_t(int32_t(v * 65536))); }
    void fixed8(double v) { u16(uint16_t(int16_t(v * 256))); }
    void bytes(const std::vector<uint8_t>& b) {
        align();
        bytes_.insert(bytes_.end(), b.begin(), b.end());
    }
    void rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
        align();
        ub(5, 16);
        sb(16, xMin);
        sb(16, xMax);
        sb(16, yMin);
        sb(16, yMax);
        align();
    }
    // Scale (16.16 fixed) and translation in twips; no rotation.
    void matrix(double sx = 1, double sy = 1, int32_t tx = 0, int32_t ty = 0) {
        align();
        bool scale = sx != 1 || sy != 1;
        ub(1, scale);
        if (scale) {
            ub(5, 31);
            sb(31, int32_t(sx * 65536));
            sb(31, int32_t(sy * 65536));
        }
        ub(1, 0);
        ub(5, 20);
        sb(20, tx);
        sb(20, ty);
        align();
    }
    void rgb(uint8_t r, uint8_t g, uint8_t b) {
        u8(r);
        u8(g);
        u8(b);
    }
    void rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        rgb(r, g, b);
        u8(a);
    }

    // Shape records with fixed field widths (fill and line indices in `styleBits`).
    void styleChange(int styleBits, bool move, int32_t x, int32_t y, int fill0 = -1, int fill1 = -1, int line = -1,
                     bool newStyles = false) {
        ub(1, 0);
        ub(1, newStyles);
        ub(1, line >= 0);
        ub(1, fill1 >= 0);
        ub(1, fill0 >= 0);
        ub(1, move);
        if (move) {
            ub(5, 20);
            sb(20, x);
            sb(20, y);
        }
        if (fill0 >= 0) ub(styleBits, uint32_t(fill0));
        if (fill1 >= 0) ub(styleBits, uint32_t(fill1));
        if (line >= 0) ub(styleBits, uint32_t(line));
    }
    void line(int32_t dx, int32_t dy) {
        ub(1, 1);
        ub(1, 1);
        ub(4, 15); // 17 bits
        ub(1, 1);  // general line
        sb(17, dx);
        sb(17, dy);
    }
    void curve(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) {
        ub(1, 1);
        ub(1, 0);
        ub(4, 15);
        sb(17, cdx);
        sb(17, cdy);
        sb(17, adx);
        sb(17, ady);
    }
    void endShape() {
        ub(6, 0);
        align();
    }
    // Axis-aligned rectangle as four edges starting at (x, y), clockwise on screen.
    void box(int32_t w, int32_t h) {
        line(w, 0);
        line(0, h);
        line(-w, 0);
        line(0, -h);
    }
    void boxCounter(int32_t w, int32_t h) {
        line(0, h);
        line(w, 0);
        line(0, -h);
        line(-w, 0);
    }

    const std::vector<uint8_t>& data() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
    int bit_ = 0;
};

} // namespace nimbrel::movie::test
