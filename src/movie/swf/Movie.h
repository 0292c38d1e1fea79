#pragma once
// A parsed SWF file: header, character dictionary and the main timeline.
// Immutable once parsed and shared (std::shared_ptr<const Movie>) between the
// player, its display objects and the interpreter.
#include "movie/swf/BitmapParser.h"
#include "movie/swf/ButtonDef.h"
#include "movie/swf/FontDef.h"
#include "movie/swf/Header.h"
#include "movie/swf/Shape.h"
#include "movie/swf/SpriteDef.h"
#include "movie/swf/TextDef.h"
#include "movie/swf/Timeline.h"
#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <variant>

namespace nimbrel::movie::swf {

using Character = std::variant<std::shared_ptr<const ShapeDef>, std::shared_ptr<const MorphShapeDef>,
                               std::shared_ptr<const SpriteDef>, std::shared_ptr<const ButtonDef>,
                               std::shared_ptr<const TextDef>>;

struct Movie {
    Header header;
    Rgba backgroundColor{255, 255, 255, 255};
    Timeline timeline;
    std::map<uint16_t, Character> characters;
    std::map<uint16_t, BitmapDef> bitmaps;
    std::map<uint16_t, FontDef> fonts;
    QHash<QString, uint16_t> exports; // ExportAssets names, lower-cased
    QStringList warnings;             // what was skipped or cut short while parsing
    bool truncated = false;

    const Character* character(uint16_t id) const;
    const QImage* bitmap(uint16_t id) const;
    const FontDef* font(uint16_t id) const;
    // Character exported under name (letter case ignored), or nullptr.
    const Character* exported(const QString& name, uint16_t* idOut = nullptr) const;
};

} // namespace nimbrel::movie::swf
