#pragma once
// Writes small SWF movies in memory for tests: a bit writer, tag framing,
// the records the engine reads, and the three containers.
#include "movie/swf/Types.h"
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace nimbrel::movie::test {

class BitWriter {
public:
    void ub(uint32_t value, int bits);
    void sb(int32_t value, int bits) { ub(uint32_t(value) & (bits >= 32 ? ~0u : ((1u << bits) - 1)), bits); }
    void align();
    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void bytes(const QByteArray& b);
    void string(const QByteArray& s); // NUL-terminated
    void rect(const swf::Rect& r);
    void matrix(const swf::Matrix& m);
    void cxform(const swf::ColorTransform& cx, bool withAlpha);
    void rgb(swf::Rgba c);
    void rgba(swf::Rgba c);
    QByteArray data();
    // Bits needed to store v as a signed field.
    static int signedBits(int32_t v);

private:
    QByteArray out_;
    uint8_t cur_ = 0;
    int used_ = 0;
};

struct Placement {
    uint16_t depth = 1;
    std::optional<uint16_t> characterId;
    bool move = false;
    std::optional<swf::Matrix> matrix;
    std::optional<swf::ColorTransform> cxform;
    std::optional<uint16_t> ratio;
    std::optional<QString> name;
    std::optional<uint16_t> clipDepth;
    std::optional<uint8_t> blendMode; // PlaceObject3 only
};

class SwfBuilder {
public:
    enum class Container { Fws, Cws, Zws };

    // Tag with its record header; long headers are forced when asked or needed.
    void tag(uint16_t code, const QByteArray& body, bool longHeader = false);
    void rawBytes(const QByteArray& bytes) { tags_ += bytes; }

    void setBackground(swf::Rgba c);
    // DefineShape3 with one solid fill covering rect (twips).
    void defineRect(uint16_t id, const swf::Rect& rect, swf::Rgba color);
    void placeObject2(const Placement& p);
    void placeObject3(const Placement& p);
    void removeObject2(uint16_t depth);
    void showFrame() { tag(1, {}); }
    void frameLabel(const QString& label);
    // DefineSceneAndFrameLabelData: scenes and labels as (0-based frame, name).
    void sceneTable(const std::vector<std::pair<uint32_t, QString>>& scenes,
                    const std::vector<std::pair<uint32_t, QString>>& labels = {});
    void doAction(const QByteArray& actions) { tag(12, actions); }
    // DefineSprite whose inner tags were written with another builder.
    void defineSprite(uint16_t id, uint16_t frameCount, const SwfBuilder& inner);
    // Shape `shapeId`, a red 10 px square, and sprite `spriteId` showing it at
    // 0 and 20 px: one clip with a gap inside its bounds.
    void defineTwoSquaresClip(uint16_t shapeId, uint16_t spriteId);
    // An empty one-frame sprite `id`, placed at depth 1 under `name`: the clip
    // that loaders and transforms in tests work on.
    void placeEmptyClip(uint16_t id, const QString& name, std::optional<swf::Matrix> matrix = std::nullopt);
    void end() { tag(0, {}); }
    // The shape of a glyph filling a full em square (1024 units) above the baseline.
    static QByteArray squareGlyph();
    // DefineFont2 whose glyph 0 is a full em square (1024 units) for code 'A'.
    void defineSquareFont(uint16_t id);
    // DefineText2 with one run of `count` glyph-0 characters at (x, y), advancing by one em.
    void defineText(uint16_t id, uint16_t fontId, uint16_t height, swf::Rgba color, int16_t x, int16_t y, int count,
                    const swf::Rect& bounds);

    static QByteArray placeObject2Body(const Placement& p);
    const QByteArray& tags() const { return tags_; }

    // A whole file; frameRate is stored as 8.8 fixed point.
    QByteArray build(Container c = Container::Fws, uint8_t version = 10, swf::Rect stage = {0, 11000, 0, 8000},
                     double frameRate = 24, uint16_t frameCount = 1) const;

private:
    QByteArray tags_;
};

} // namespace nimbrel::movie::test
