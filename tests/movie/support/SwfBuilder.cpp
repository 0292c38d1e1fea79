#include "movie/support/SwfBuilder.h"
#include <lzma.h>
#include <zlib.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace nimbrel::movie::test {

void BitWriter::ub(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
        cur_ = uint8_t(cur_ << 1 | ((value >> i) & 1));
        if (++used_ == 8) {
            out_.append(char(cur_));
            cur_ = 0;
            used_ = 0;
        }
    }
}

void BitWriter::align() {
    if (used_) ub(0, 8 - used_);
}

void BitWriter::u8(uint8_t v) {
    align();
    out_.append(char(v));
}
void BitWriter::u16(uint16_t v) {
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
}
void BitWriter::u32(uint32_t v) {
    u16(uint16_t(v));
    u16(uint16_t(v >> 16));
}
void BitWriter::bytes(const QByteArray& b) {
    align();
    out_ += b;
}
void BitWriter::string(const QByteArray& s) {
    bytes(s);
    u8(0);
}

int BitWriter::signedBits(int32_t v) {
    int n = 1;
    while (n < 32 && (v < -(1 << (n - 1)) || v > (1 << (n - 1)) - 1)) ++n;
    return n;
}

void BitWriter::rect(const swf::Rect& r) {
    align();
    int n = std::max({signedBits(r.xMin), signedBits(r.xMax), signedBits(r.yMin), signedBits(r.yMax)});
    ub(uint32_t(n), 5);
    sb(r.xMin, n);
    sb(r.xMax, n);
    sb(r.yMin, n);
    sb(r.yMax, n);
    align();
}

void BitWriter::matrix(const swf::Matrix& m) {
    align();
    auto fixed = [](double v) { return int32_t(std::lround(v * 65536.0)); };
    if (m.a != 1 || m.d != 1) {
        ub(1, 1);
        int n = std::max(signedBits(fixed(m.a)), signedBits(fixed(m.d)));
        ub(uint32_t(n), 5);
        sb(fixed(m.a), n);
        sb(fixed(m.d), n);
    } else ub(0, 1);
    if (m.b != 0 || m.c != 0) {
        ub(1, 1);
        int n = std::max(signedBits(fixed(m.b)), signedBits(fixed(m.c)));
        ub(uint32_t(n), 5);
        sb(fixed(m.b), n);
        sb(fixed(m.c), n);
    } else ub(0, 1);
    const int32_t tx = int32_t(std::lround(m.tx)), ty = int32_t(std::lround(m.ty));
    int n = (tx == 0 && ty == 0) ? 0 : std::max(signedBits(tx), signedBits(ty));
    ub(uint32_t(n), 5);
    sb(tx, n);
    sb(ty, n);
    align();
}

void BitWriter::cxform(const swf::ColorTransform& cx, bool withAlpha) {
    align();
    const bool mult = cx.rMult != 256 || cx.gMult != 256 || cx.bMult != 256 || (withAlpha && cx.aMult != 256);
    const bool add = cx.rAdd || cx.gAdd || cx.bAdd || (withAlpha && cx.aAdd);
    int n = 1;
    for (int v : {cx.rMult, cx.gMult, cx.bMult, cx.aMult, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd})
        n = std::max(n, signedBits(v));
    ub(add, 1);
    ub(mult, 1);
    ub(uint32_t(n), 4);
    if (mult) {
        sb(cx.rMult, n);
        sb(cx.gMult, n);
        sb(cx.bMult, n);
        if (withAlpha) sb(cx.aMult, n);
    }
    if (add) {
        sb(cx.rAdd, n);
        sb(cx.gAdd, n);
        sb(cx.bAdd, n);
        if (withAlpha) sb(cx.aAdd, n);
    }
    align();
}

void BitWriter::rgb(swf::Rgba c) {
    u8(c.r);
    u8(c.g);
    u8(c.b);
}
void BitWriter::rgba(swf::Rgba c) {
    rgb(c);
    u8(c.a);
}

QByteArray BitWriter::data() {
    align();
    return out_;
}

void SwfBuilder::tag(uint16_t code, const QByteArray& body, bool longHeader) {
    BitWriter w;
    if (!longHeader && body.size() < 0x3f) {
        w.u16(uint16_t(code << 6 | body.size()));
    } else {
        w.u16(uint16_t(code << 6 | 0x3f));
        w.u32(uint32_t(body.size()));
    }
    tags_ += w.data() + body;
}

void SwfBuilder::setBackground(swf::Rgba c) {
    BitWriter w;
    w.rgb(c);
    tag(9, w.data());
}

void SwfBuilder::defineRect(uint16_t id, const swf::Rect& r, swf::Rgba color) {
    BitWriter w;
    w.u16(id);
    w.rect(r);
    w.u8(1);    // one fill style
    w.u8(0x00); // solid
    w.rgba(color);
    w.u8(0);    // no line styles
    w.ub(1, 4); // fill bits
    w.ub(0, 4); // line bits
    // Move to the top-left corner with fill style 1 on the right-hand side.
    w.ub(0, 1);
    w.ub(0, 1); // new styles
    w.ub(0, 1); // line style
    w.ub(1, 1); // fill style 1
    w.ub(0, 1); // fill style 0
    w.ub(1, 1); // move to
    int n = std::max(BitWriter::signedBits(r.xMin), BitWriter::signedBits(r.yMin));
    w.ub(uint32_t(n), 5);
    w.sb(r.xMin, n);
    w.sb(r.yMin, n);
    w.ub(1, 1); // fill style 1
    auto edge = [&](int32_t dx, int32_t dy) {
        int bits = std::max({BitWriter::signedBits(dx), BitWriter::signedBits(dy), 2});
        w.ub(1, 1); // edge
        w.ub(1, 1); // straight
        w.ub(uint32_t(bits - 2), 4);
        w.ub(1, 1); // general line
        w.sb(dx, bits);
        w.sb(dy, bits);
    };
    edge(r.width(), 0);
    edge(0, r.height());
    edge(-r.width(), 0);
    edge(0, -r.height());
    w.ub(0, 6); // end of shape
    tag(32, w.data());
}

QByteArray SwfBuilder::squareGlyph() {
    // A 1024-unit square, top at -1024 (above the baseline).
    BitWriter g;
    g.ub(1, 4); // fill bits
    g.ub(0, 4); // line bits
    g.ub(0, 1);
    g.ub(0, 1);
    g.ub(0, 1);
    g.ub(1, 1); // fill style 1
    g.ub(0, 1);
    g.ub(1, 1); // move to
    g.ub(12, 5);
    g.sb(0, 12);
    g.sb(-1024, 12);
    g.ub(1, 1);
    auto edge = [&](int32_t dx, int32_t dy) {
        g.ub(1, 1);
        g.ub(1, 1);
        g.ub(12 - 2, 4);
        g.ub(1, 1);
        g.sb(dx, 12);
        g.sb(dy, 12);
    };
    edge(1024, 0);
    edge(0, 1024);
    edge(-1024, 0);
    edge(0, -1024);
    g.ub(0, 6);
    return g.data();
}

void SwfBuilder::defineSquareFont(uint16_t id) {
    const QByteArray glyph = squareGlyph();
    BitWriter w;
    w.u16(id);
    w.u8(0x00); // no layout, narrow offsets and codes
    w.u8(0);    // language
    w.u8(2);
    w.bytes("Sq");
    w.u16(1);                           // one glyph
    w.u16(4);                           // offset of glyph 0 from the table start
    w.u16(uint16_t(4 + glyph.size()));  // code table offset
    w.bytes(glyph);
    w.u8('A');
    tag(48, w.data());
}

void SwfBuilder::defineText(uint16_t id, uint16_t fontId, uint16_t height, swf::Rgba color, int16_t x, int16_t y,
                            int count, const swf::Rect& bounds) {
    BitWriter w;
    w.u16(id);
    w.rect(bounds);
    w.matrix({});
    w.u8(1);  // glyph bits
    w.u8(16); // advance bits
    w.u8(0x8f); // record with font, colour, x and y
    w.u16(fontId);
    w.rgba(color);
    w.u16(uint16_t(x));
    w.u16(uint16_t(y));
    w.u16(height);
    w.u8(uint8_t(count));
    for (int i = 0; i < count; ++i) {
        w.ub(0, 1);
        w.sb(height, 16);
    }
    w.u8(0);
    tag(33, w.data());
}

QByteArray SwfBuilder::placeObject2Body(const Placement& p) {
    BitWriter w;
    uint8_t flags = 0;
    if (p.move) flags |= 0x01;
    if (p.characterId) flags |= 0x02;
    if (p.matrix) flags |= 0x04;
    if (p.cxform) flags |= 0x08;
    if (p.ratio) flags |= 0x10;
    if (p.name) flags |= 0x20;
    if (p.clipDepth) flags |= 0x40;
    w.u8(flags);
    w.u16(p.depth);
    if (p.characterId) w.u16(*p.characterId);
    if (p.matrix) w.matrix(*p.matrix);
    if (p.cxform) w.cxform(*p.cxform, true);
    if (p.ratio) w.u16(*p.ratio);
    if (p.name) w.string(p.name->toUtf8());
    if (p.clipDepth) w.u16(*p.clipDepth);
    return w.data();
}

void SwfBuilder::placeObject2(const Placement& p) { tag(26, placeObject2Body(p)); }

void SwfBuilder::placeObject3(const Placement& p) {
    QByteArray body = placeObject2Body(p);
    uint8_t flags2 = p.blendMode ? 0x02 : 0;
    body.insert(1, char(flags2));
    if (p.blendMode) body.append(char(*p.blendMode));
    tag(70, body);
}

void SwfBuilder::removeObject2(uint16_t depth) {
    BitWriter w;
    w.u16(depth);
    tag(28, w.data());
}

void SwfBuilder::frameLabel(const QString& label) {
    BitWriter w;
    w.string(label.toUtf8());
    tag(43, w.data());
}

void SwfBuilder::sceneTable(const std::vector<std::pair<uint32_t, QString>>& scenes,
                            const std::vector<std::pair<uint32_t, QString>>& labels) {
    BitWriter w;
    auto encoded = [&](uint32_t v) {
        do {
            w.u8(uint8_t((v & 0x7f) | (v > 0x7f ? 0x80 : 0)));
            v >>= 7;
        } while (v);
    };
    for (const auto* list : {&scenes, &labels}) {
        encoded(uint32_t(list->size()));
        for (const auto& [frame, name] : *list) {
            encoded(frame);
            w.string(name.toUtf8());
        }
    }
    tag(86, w.data());
}

void SwfBuilder::defineTwoSquaresClip(uint16_t shapeId, uint16_t spriteId) {
    defineRect(shapeId, {0, 200, 0, 200}, {255, 0, 0, 255});
    SwfBuilder inner;
    Placement a;
    a.characterId = shapeId;
    a.depth = 1;
    inner.placeObject2(a);
    Placement c = a;
    c.depth = 2;
    c.matrix = swf::Matrix{1, 0, 0, 1, 400, 0};
    inner.placeObject2(c);
    inner.showFrame();
    inner.end();
    defineSprite(spriteId, 1, inner);
}

void SwfBuilder::defineSprite(uint16_t id, uint16_t frameCount, const SwfBuilder& inner) {
    BitWriter w;
    w.u16(id);
    w.u16(frameCount);
    w.bytes(inner.tags());
    tag(39, w.data(), true);
}

void SwfBuilder::placeEmptyClip(uint16_t id, const QString& name, std::optional<swf::Matrix> matrix) {
    SwfBuilder empty;
    empty.showFrame();
    empty.end();
    defineSprite(id, 1, empty);
    Placement clip;
    clip.characterId = id;
    clip.name = name;
    clip.matrix = matrix;
    placeObject2(clip);
}

QByteArray SwfBuilder::build(Container c, uint8_t version, swf::Rect stage, double frameRate,
                             uint16_t frameCount) const {
    BitWriter w;
    w.rect(stage);
    w.u16(uint16_t(std::lround(frameRate * 256)));
    w.u16(frameCount);
    QByteArray body = w.data() + tags_;
    const uint32_t total = uint32_t(body.size() + 8);
    BitWriter head;
    head.u8(c == Container::Fws ? 'F' : c == Container::Cws ? 'C' : 'Z');
    head.u8('W');
    head.u8('S');
    head.u8(version);
    head.u32(total);
    if (c == Container::Fws) return head.data() + body;
    if (c == Container::Cws) {
        uLongf size = compressBound(uLong(body.size()));
        QByteArray z(qsizetype(size), 0);
        compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(body.constData()),
                 uLong(body.size()));
        z.resize(qsizetype(size));
        return head.data() + z;
    }
    // ZWS: the .lzma "alone" stream minus its 8-byte size field.
    lzma_options_lzma opt;
    lzma_lzma_preset(&opt, 6);
    lzma_stream ls = LZMA_STREAM_INIT;
    lzma_alone_encoder(&ls, &opt);
    QByteArray alone(body.size() * 2 + 1024, 0);
    ls.next_in = reinterpret_cast<const uint8_t*>(body.constData());
    ls.avail_in = size_t(body.size());
    ls.next_out = reinterpret_cast<uint8_t*>(alone.data());
    ls.avail_out = size_t(alone.size());
    while (lzma_code(&ls, LZMA_FINISH) == LZMA_OK) {
    }
    alone.resize(qsizetype(ls.total_out));
    lzma_end(&ls);
    const QByteArray props = alone.left(5);
    const QByteArray data = alone.mid(13);
    BitWriter z;
    z.u32(uint32_t(data.size()));
    return head.data() + z.data() + props + data;
}

} // namespace nimbrel::movie::test
