#include "movie/support/HeavyScene.h"
#include "movie/support/SwfBuilder.h"
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace nimbrel::movie::test {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Uniform numbers from the raw generator: the standard distributions differ
// between libraries, and the movie must be the same everywhere.
class Dice {
public:
    explicit Dice(uint32_t seed) : rng_(seed) {}
    double unit() { return rng_() / 4294967296.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int pick(int n) { return int(rng_() % uint32_t(n)); }

private:
    std::mt19937 rng_;
};

struct Gradient {
    uint8_t interpolation = 0; // 0 normal, 1 linear RGB
    std::vector<std::pair<uint8_t, swf::Rgba>> stops;
};

// Fill and line style arrays and shape records of a DefineShape3.
class ShapeWriter {
public:
    ShapeWriter(uint16_t id, const swf::Rect& bounds) {
        w_.u16(id);
        w_.rect(bounds);
    }
    void fills(int count) { w_.u8(uint8_t(count)); }
    void solid(swf::Rgba c) {
        w_.u8(0x00);
        w_.rgba(c);
    }
    void gradient(bool radial, double size, const Gradient& g) {
        w_.u8(radial ? 0x12 : 0x10);
        // The gradient square is 32768 twips wide: scale it to the shape.
        const double s = size / 32768.0;
        w_.matrix(swf::Matrix{s, 0, 0, s, 0, 0});
        w_.u8(uint8_t(g.interpolation << 4 | g.stops.size()));
        for (const auto& [ratio, color] : g.stops) {
            w_.u8(ratio);
            w_.rgba(color);
        }
    }
    void bitmap(uint8_t type, uint16_t bitmapId, const swf::Matrix& m) {
        w_.u8(type);
        w_.u16(bitmapId);
        w_.matrix(m);
    }
    void lines(const std::vector<std::pair<uint16_t, swf::Rgba>>& styles) {
        w_.u8(uint8_t(styles.size()));
        for (const auto& [width, color] : styles) {
            w_.u16(width);
            w_.rgba(color);
        }
        lineBits_ = styles.empty() ? 0 : 1;
        w_.ub(1, 4);
        w_.ub(uint32_t(lineBits_), 4);
    }
    // Starts the outline at (x, y) with fill style 1 and line style 1 (when any).
    void start(int32_t x, int32_t y) {
        w_.ub(0, 1);
        w_.ub(0, 1);              // new styles
        w_.ub(lineBits_ ? 1 : 0, 1); // line style
        w_.ub(1, 1);              // fill style 1
        w_.ub(0, 1);              // fill style 0
        w_.ub(1, 1);              // move to
        const int n = std::max(BitWriter::signedBits(x), BitWriter::signedBits(y));
        w_.ub(uint32_t(n), 5);
        w_.sb(x, n);
        w_.sb(y, n);
        w_.ub(1, 1);
        if (lineBits_) w_.ub(1, 1);
        x_ = x;
        y_ = y;
    }
    void lineTo(int32_t x, int32_t y) {
        const int32_t dx = x - x_, dy = y - y_;
        const int bits = std::max({BitWriter::signedBits(dx), BitWriter::signedBits(dy), 2});
        w_.ub(1, 1);
        w_.ub(1, 1);
        w_.ub(uint32_t(bits - 2), 4);
        w_.ub(1, 1); // general line
        w_.sb(dx, bits);
        w_.sb(dy, bits);
        x_ = x;
        y_ = y;
    }
    void curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
        const int32_t c1 = cx - x_, c2 = cy - y_, a1 = x - cx, a2 = y - cy;
        const int bits = std::max({BitWriter::signedBits(c1), BitWriter::signedBits(c2), BitWriter::signedBits(a1),
                                   BitWriter::signedBits(a2), 2});
        w_.ub(1, 1);
        w_.ub(0, 1);
        w_.ub(uint32_t(bits - 2), 4);
        w_.sb(c1, bits);
        w_.sb(c2, bits);
        w_.sb(a1, bits);
        w_.sb(a2, bits);
        x_ = x;
        y_ = y;
    }
    QByteArray finish() {
        w_.ub(0, 6);
        return w_.data();
    }

private:
    BitWriter w_;
    int lineBits_ = 0;
    int32_t x_ = 0, y_ = 0;
};

int32_t twips(double v) { return int32_t(std::lround(v)); }

// A circle of eight quadratic curves, clockwise on screen.
void blob(ShapeWriter& s, double r) {
    const double reach = r / std::cos(kPi / 8);
    s.start(twips(r), 0);
    for (int k = 1; k <= 8; ++k) {
        const double mid = (k - 0.5) * kPi / 4, end = k * kPi / 4;
        s.curveTo(twips(reach * std::cos(mid)), twips(reach * std::sin(mid)), twips(r * std::cos(end)),
                  twips(r * std::sin(end)));
    }
}

void star(ShapeWriter& s, double r) {
    s.start(twips(r), 0);
    for (int k = 1; k <= 10; ++k) {
        const double a = k * kPi / 5, radius = k % 2 ? r * 0.45 : r;
        s.lineTo(twips(radius * std::cos(a)), twips(radius * std::sin(a)));
    }
}

void box(ShapeWriter& s, double halfW, double halfH) {
    s.start(twips(-halfW), twips(-halfH));
    s.lineTo(twips(halfW), twips(-halfH));
    s.lineTo(twips(halfW), twips(halfH));
    s.lineTo(twips(-halfW), twips(halfH));
    s.lineTo(twips(-halfW), twips(-halfH));
}

swf::Rect around(double halfW, double halfH, double line) {
    const int32_t x = twips(halfW + line), y = twips(halfH + line);
    return swf::Rect{-x, x, -y, y};
}

// DefineBitsLossless2: stripes and rings, a translucent border.
void defineBitmap(SwfBuilder& b, uint16_t id, int w, int h, uint32_t tint) {
    QByteArray argb;
    argb.reserve(w * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
            const int a = edge ? 128 : 255;
            const int ring = int(std::hypot(x - w / 2.0, y - h / 2.0)) / 6 % 2;
            const int r = ((x * 255 / w) ^ (ring * 0x60)) & 0xFF;
            const int g = ((y * 255 / h) + int(tint >> 8 & 0xFF)) & 0xFF;
            const int bl = (((x + y) / 8 % 2) * 160 + int(tint & 0x5F)) & 0xFF;
            // Stored premultiplied.
            argb.append(char(a));
            argb.append(char(r * a / 255));
            argb.append(char(g * a / 255));
            argb.append(char(bl * a / 255));
        }
    }
    BitWriter out;
    out.u16(id);
    out.u8(5);
    out.u16(uint16_t(w));
    out.u16(uint16_t(h));
    out.bytes(qCompress(argb).mid(4)); // qCompress prefixes the length; the tag holds a bare zlib stream
    b.tag(36, out.data(), true);
}

enum Kind : uint16_t {
    LinearBlob = 10, RadialBlob, TranslucentStar, PlainStar, SmallRadial, LinearRgbBox, PhotoA, PhotoB, TiledBlob,
    KindEnd
};

void defineShapes(SwfBuilder& b) {
    const Gradient sunset{0, {{0, {255, 90, 20, 255}}, {128, {250, 220, 40, 255}}, {255, {120, 20, 160, 255}}}};
    const Gradient glow{0, {{0, {255, 255, 255, 255}}, {200, {40, 160, 255, 200}}, {255, {0, 40, 120, 0}}}};
    const Gradient sea{1, {{0, {0, 40, 90, 255}}, {255, {120, 240, 200, 255}}}};
    const Gradient ember{0, {{0, {255, 240, 200, 255}}, {255, {200, 30, 0, 255}}}};
    {
        ShapeWriter s(LinearBlob, around(600, 600, 10));
        s.fills(1);
        s.gradient(false, 1200, sunset);
        s.lines({{20, {0, 0, 0, 255}}});
        blob(s, 600);
        b.tag(32, s.finish(), true);
    }
    {
        ShapeWriter s(RadialBlob, around(900, 900, 30));
        s.fills(1);
        s.gradient(true, 1800, glow);
        s.lines({{60, {20, 20, 80, 255}}});
        blob(s, 900);
        b.tag(32, s.finish(), true);
    }
    {
        ShapeWriter s(TranslucentStar, around(800, 800, 80));
        s.fills(1);
        s.solid({40, 200, 90, 160});
        s.lines({{160, {250, 250, 250, 220}}});
        star(s, 800);
        b.tag(32, s.finish(), true);
    }
    {
        ShapeWriter s(PlainStar, around(500, 500, 0));
        s.fills(1);
        s.solid({230, 60, 90, 255});
        s.lines({});
        star(s, 500);
        b.tag(32, s.finish(), true);
    }
    {
        ShapeWriter s(SmallRadial, around(400, 400, 0));
        s.fills(1);
        s.gradient(true, 800, ember);
        s.lines({});
        blob(s, 400);
        b.tag(32, s.finish(), true);
    }
    {
        ShapeWriter s(LinearRgbBox, around(700, 450, 20));
        s.fills(1);
        s.gradient(false, 1400, sea);
        s.lines({{40, {255, 255, 255, 255}}});
        box(s, 700, 450);
        b.tag(32, s.finish(), true);
    }
    // Pictures as imported bitmaps arrive: a clipped fill over exactly their rectangle.
    auto photo = [&b](uint16_t id, uint16_t bitmap, int w, int h) {
        ShapeWriter s(id, around(w * 10.0, h * 10.0, 0));
        s.fills(1);
        s.bitmap(0x41, bitmap, swf::Matrix{20, 0, 0, 20, -w * 10.0, -h * 10.0});
        s.lines({});
        box(s, w * 10.0, h * 10.0);
        b.tag(32, s.finish(), true);
    };
    photo(PhotoA, 1, 64, 64);
    photo(PhotoB, 2, 96, 48);
    {
        ShapeWriter s(TiledBlob, around(700, 700, 20));
        s.fills(1);
        s.bitmap(0x40, 1, swf::Matrix{10, 0, 0, 10, 0, 0});
        s.lines({{20, {0, 0, 0, 255}}});
        blob(s, 700);
        b.tag(32, s.finish(), true);
    }
}

struct Mover {
    uint16_t kind = LinearBlob;
    double x0 = 0, y0 = 0, vx = 0, vy = 0;
    double angle0 = 0, spin = 0;
    double scale = 1, stretch = 1, pulse = 0, phase = 0;
    int16_t alpha = 256;
};

// Bounces between 0 and span.
double bounce(double v, double span) {
    const double m = std::fmod(std::abs(v), 2 * span);
    return m > span ? 2 * span - m : m;
}

swf::Matrix placeAt(const Mover& m, int frame, double w, double h) {
    const double a = m.angle0 + m.spin * frame;
    const double s = m.scale * (1 + m.pulse * std::sin(m.phase + frame * 0.15));
    const double sx = s, sy = s * m.stretch;
    return swf::Matrix{sx * std::cos(a), sx * std::sin(a), -sy * std::sin(a), sy * std::cos(a),
                       bounce(m.x0 + m.vx * frame, w), bounce(m.y0 + m.vy * frame, h)};
}

} // namespace

const char* heavySceneKindName(uint16_t id) {
    switch (id) {
    case LinearBlob: return "linear gradient blob, 1 px outline";
    case RadialBlob: return "translucent radial blob, 3 px outline";
    case TranslucentStar: return "translucent solid star, 8 px outline";
    case PlainStar: return "solid star";
    case SmallRadial: return "small radial blob";
    case LinearRgbBox: return "linear-RGB gradient box, 2 px outline";
    case PhotoA: return "bitmap 64x64";
    case PhotoB: return "bitmap 96x48";
    case TiledBlob: return "tiled bitmap blob, 1 px outline";
    default: return "";
    }
}

QByteArray buildHeavyScene(const HeavySceneOptions& o) {
    SwfBuilder b;
    b.setBackground({236, 236, 228, 255});
    defineBitmap(b, 1, 64, 64, 0x3050A0);
    defineBitmap(b, 2, 96, 48, 0x90C010);
    defineShapes(b);

    Dice dice(o.seed);
    const double w = o.width * 20.0, h = o.height * 20.0;
    std::vector<Mover> movers(size_t(std::max(0, o.objects)));
    for (Mover& m : movers) {
        m.kind = uint16_t(LinearBlob + dice.pick(KindEnd - LinearBlob));
        m.x0 = dice.range(0, w);
        m.y0 = dice.range(0, h);
        m.vx = dice.range(-80, 80);
        m.vy = dice.range(-80, 80);
        m.angle0 = dice.range(0, 2 * kPi);
        m.spin = dice.range(-0.08, 0.08);
        m.scale = dice.range(0.5, 1.6);
        m.stretch = dice.range(0.7, 1.3);
        m.pulse = dice.range(0, 0.3);
        m.phase = dice.range(0, 2 * kPi);
        // A quarter of the objects are see-through, each to its own degree.
        if (dice.pick(4) == 0) m.alpha = int16_t(96 + dice.pick(129));
    }
    for (int f = 0; f < o.frames; ++f) {
        for (size_t i = 0; i < movers.size(); ++i) {
            const Mover& m = movers[i];
            Placement p;
            p.depth = uint16_t(i + 1);
            p.matrix = placeAt(m, f, w, h);
            if (f == 0) {
                p.characterId = m.kind;
                if (m.alpha != 256) {
                    swf::ColorTransform cx;
                    cx.aMult = m.alpha;
                    p.cxform = cx;
                }
            } else {
                p.move = true;
            }
            b.placeObject2(p);
        }
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 10, swf::Rect{0, int32_t(w), 0, int32_t(h)}, o.frameRate,
                   uint16_t(o.frames));
}

} // namespace nimbrel::movie::test
