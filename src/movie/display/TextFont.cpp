#include "movie/display/TextFont.h"
#include "movie/host/DeviceFontRegistry.h"
#include "movie/swf/Movie.h"
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <cmath>
#include <mutex>

namespace nimbrel::movie::display {

namespace {

// Device glyphs are measured and outlined once at this pixel size and scaled.
constexpr int kReferencePixels = 256;
constexpr int kMaxCachedGlyphs = 20000;

bool installed(const QString& family) {
    static const QStringList families = QFontDatabase::families();
    return families.contains(family, Qt::CaseInsensitive);
}

QString firstInstalled(std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (installed(QLatin1String(n))) return QLatin1String(n);
    return {};
}

struct DeviceCache {
    std::mutex lock;
    QHash<QString, QPainterPath> paths;
};

DeviceCache& deviceCache() {
    static DeviceCache cache;
    return cache;
}

} // namespace

// Looking a font up, and shaping a character to measure it, are slow in Qt;
// text fields re-laid out every frame measure the same few characters again
// and again, so each face is made once and remembers its advances.
struct TextFont::DeviceFace {
    explicit DeviceFace(const QFont& f) : font(f), metrics(f) {}
    const QFont font;
    const QFontMetricsF metrics;
    std::mutex lock;
    QHash<char32_t, double> advances; // at kReferencePixels
};

std::shared_ptr<TextFont::DeviceFace> TextFont::deviceFace(const QString& family, bool bold, bool italic) {
    static std::mutex lock;
    static QHash<QString, std::shared_ptr<DeviceFace>> faces;
    const QString key = family + QLatin1Char('|') + QLatin1Char(bold ? 'b' : '-') + QLatin1Char(italic ? 'i' : '-');
    static quint64 generation = 0;
    std::lock_guard guard(lock);
    // Fonts registered or defaults changed: the same name may now be another face.
    if (const quint64 now = host::DeviceFontRegistry::instance().generation(); now != generation) {
        faces.clear();
        generation = now;
    }
    if (auto it = faces.constFind(key); it != faces.constEnd()) return *it;
    QFont font(machineFamily(family));
    font.setPixelSize(kReferencePixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    // Movies name any family they like; the table stays small all the same.
    if (faces.size() >= 256) faces.clear();
    auto face = std::make_shared<DeviceFace>(font);
    faces.insert(key, face);
    return face;
}

QString TextFont::machineFamily(const QString& family) {
    const QString f = family.trimmed().toLower();
    const bool serif = f == QLatin1String("_serif") || f.contains(QLatin1String("times")) || (f.contains(QLatin1String("serif")) && !f.contains(QLatin1String("sans"))) ||
                       f.contains(QLatin1String("georgia"));
    const bool mono = f == QLatin1String("_typewriter") || f.contains(QLatin1String("courier")) || f.contains(QLatin1String("mono"));
    // Fonts shipped with the movie's run, and the defaults it names, come before the machine's.
    const auto& registry = host::DeviceFontRegistry::instance();
    if (const QString shipped = registry.registeredFamily(family); !shipped.isEmpty()) return shipped;
    using Generic = host::DeviceFontRegistry::Generic;
    if (const QString d = registry.defaultFamily(mono ? Generic::Typewriter : serif ? Generic::Serif : Generic::Sans);
        !d.isEmpty() && (serif || mono || f == QLatin1String("_sans") || !installed(family)))
        return d;
    if (!serif && !mono && f != QLatin1String("_sans") && installed(family)) return family;
    if (mono) {
        const QString m = firstInstalled({"Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono"});
        if (!m.isEmpty()) return m;
    } else if (serif) {
        // Times-compatible widths keep device text close to the reference layout.
        const QString s = firstInstalled({"Liberation Serif", "Nimbus Roman", "DejaVu Serif"});
        if (!s.isEmpty()) return s;
    }
    const QString s = firstInstalled({"Noto Sans", "Liberation Sans", "Nimbus Sans", "DejaVu Sans", "WenQuanYi Micro Hei"});
    return s.isEmpty() ? QFont().family() : s;
}

TextFont TextFont::fromEmbedded(const swf::FontDef* font) {
    TextFont t;
    t.embedded_ = true;
    t.def_ = font;
    if (font) {
        auto index = std::make_shared<QHash<char32_t, int>>();
        const size_t n = std::min(font->codes.size(), font->glyphs.size());
        index->reserve(qsizetype(n));
        for (size_t i = 0; i < n; ++i) index->insert(font->codes[i], int(i));
        t.index_ = std::move(index);
    }
    return t;
}

TextFont TextFont::device(const QString& family, bool bold, bool italic) {
    TextFont t;
    t.face_ = deviceFace(family, bold, italic);
    return t;
}

TextFont TextFont::resolve(const swf::Movie* movie, const QString& family, bool bold, bool italic, bool embedded) {
    if (movie) {
        const swf::FontDef* best = nullptr;
        int bestScore = -1;
        for (const auto& [id, def] : movie->fonts) {
            if (def.name.compare(family, Qt::CaseInsensitive) != 0) continue;
            // Outlines are needed for drawing; a font without glyphs only names the face.
            const int score = (def.bold == bold) * 2 + (def.italic == italic) + (def.glyphs.empty() ? -8 : 0);
            if (score > bestScore) {
                best = &def;
                bestScore = score;
            }
        }
        if (best && embedded) return fromEmbedded(best);
    }
    if (embedded) return fromEmbedded(nullptr);
    return device(family, bold, italic);
}

int TextFont::glyphIndex(char32_t code) const {
    if (!index_) return -1;
    return index_->value(code, -1);
}

double TextFont::ascent(double size) const {
    if (embedded_) return def_ && def_->ascent ? def_->ascent * size / def_->unitsPerEm : size * 0.9;
    // Device fonts place lines on whole pixels, the baseline on the first
    // whole pixel at or below the font's own ascent (taken to the twip).
    const double twips = std::round(face_->metrics.ascent() * size / kReferencePixels);
    return std::ceil(twips / 20.0) * 20.0;
}

double TextFont::descent(double size) const {
    if (embedded_) return def_ && def_->descent ? def_->descent * size / def_->unitsPerEm : size * 0.2;
    return std::round(face_->metrics.descent() * size / kReferencePixels / 20.0) * 20.0;
}

double TextFont::leading(double size) const {
    if (embedded_) return def_ ? def_->leading * size / def_->unitsPerEm : 0;
    return 0;
}

bool TextFont::hasGlyph(char32_t code) const { return !embedded_ || glyphIndex(code) >= 0; }

double TextFont::advance(char32_t code, double size) const {
    if (embedded_) {
        const int i = glyphIndex(code);
        if (i < 0 || !def_) return 0;
        // Glyphs advance by whole twips, the fraction dropped.
        if (size_t(i) < def_->advances.size()) return std::trunc(def_->advances[size_t(i)] * size / def_->unitsPerEm);
        return def_->glyphs[size_t(i)].boundingRect().right() * size / def_->unitsPerEm;
    }
    std::lock_guard guard(face_->lock);
    auto it = face_->advances.constFind(code);
    if (it == face_->advances.constEnd()) {
        if (face_->advances.size() >= kMaxCachedGlyphs) face_->advances.clear();
        it = face_->advances.insert(code, face_->metrics.horizontalAdvance(QString::fromUcs4(&code, 1)));
    }
    // Device glyphs advance by whole pixels, as the machine's text renderer lays them out.
    return std::round(*it * size / kReferencePixels / 20.0) * 20.0;
}

QPainterPath TextFont::glyph(char32_t code, double size) const {
    QPainterPath base;
    double unit = kReferencePixels;
    if (embedded_) {
        const int i = glyphIndex(code);
        if (i < 0) return {};
        base = def_->glyphs[size_t(i)];
        unit = def_->unitsPerEm;
    } else {
        const QString key = face_->font.key() + QLatin1Char('|') + QString::number(uint(code));
        DeviceCache& cache = deviceCache();
        std::lock_guard guard(cache.lock);
        auto it = cache.paths.constFind(key);
        if (it != cache.paths.constEnd()) {
            base = *it;
        } else {
            base.addText(0, 0, face_->font, QString::fromUcs4(&code, 1));
            if (cache.paths.size() >= kMaxCachedGlyphs) cache.paths.clear();
            cache.paths.insert(key, base);
        }
    }
    const double scale = size / unit;
    return QTransform::fromScale(scale, scale).map(base);
}

} // namespace nimbrel::movie::display
