#pragma once
// The font a stretch of text is measured and drawn with: the outlines of a
// font embedded in the movie, or a font of the machine standing in for the
// device font the movie names. Sizes and results are in twips.
#include "movie/swf/FontDef.h"
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <memory>
#include <QPainterPath>
#include <QString>

namespace nimbrel::movie::swf {
struct Movie;
}

namespace nimbrel::movie::display {

class TextFont {
public:
    // An embedded font of movie named family (bold and italic matching when
    // possible) when embedded is asked for; otherwise, or when the movie has
    // none, the machine's font for that name. Returns an embedded font that
    // draws nothing when embedding is asked for and no font matches.
    static TextFont resolve(const swf::Movie* movie, const QString& family, bool bold, bool italic, bool embedded);
    static TextFont fromEmbedded(const swf::FontDef* font);
    static TextFont device(const QString& family, bool bold, bool italic);

    bool isEmbedded() const { return embedded_; }
    const swf::FontDef* embeddedFont() const { return def_; }

    double ascent(double size) const;
    double descent(double size) const;
    double leading(double size) const;
    double advance(char32_t code, double size) const;
    // False when the font cannot draw code (an embedded font without it).
    bool hasGlyph(char32_t code) const;
    // Outline of code with its origin on the baseline.
    QPainterPath glyph(char32_t code, double size) const;

    // The machine's family that stands in for a device font name.
    static QString machineFamily(const QString& family);

private:
    int glyphIndex(char32_t code) const;

    struct DeviceFace; // a machine font with its measurements, shared by every user of that face
    static std::shared_ptr<DeviceFace> deviceFace(const QString& family, bool bold, bool italic);

    bool embedded_ = false;
    const swf::FontDef* def_ = nullptr;
    std::shared_ptr<DeviceFace> face_;
    std::shared_ptr<const QHash<char32_t, int>> index_; // character code -> glyph
};

} // namespace nimbrel::movie::display
