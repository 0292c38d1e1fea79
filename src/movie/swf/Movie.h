#pragma once
// A parsed SWF file: header, character dictionary and the main timeline.
// Immutable once parsed and shared (std::shared_ptr<const Movie>) between the
// player, its display objects and the interpreter.
#include "movie/swf/AbcTags.h"
#include "movie/swf/BitmapParser.h"
#include "movie/swf/BitmapStore.h"
#include "movie/swf/ButtonDef.h"
#include "movie/swf/EditTextDef.h"
#include "movie/swf/FontDef.h"
#include "movie/swf/Header.h"
#include "movie/swf/Shape.h"
#include "movie/swf/SoundTags.h"
#include "movie/swf/SpriteDef.h"
#include "movie/swf/TextDef.h"
#include "movie/swf/Timeline.h"
#include "movie/swf/VideoTags.h"
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <variant>
#include <vector>

namespace nimbrel::movie::swf {

using Character = std::variant<std::shared_ptr<const ShapeDef>, std::shared_ptr<const MorphShapeDef>,
                               std::shared_ptr<const SpriteDef>, std::shared_ptr<const ButtonDef>,
                               std::shared_ptr<const TextDef>, std::shared_ptr<const EditTextDef>>;

// Characters an ImportAssets tag takes from a library file, by export name.
struct AssetImport {
    QString url;
    std::vector<std::pair<uint16_t, QString>> assets; // id in this movie, export name
};

struct Movie {
    Header header;
    uint32_t fileBytes = 0; // the file's size as loaded (compressed when it is)
    Rgba backgroundColor{255, 255, 255, 255};
    Timeline timeline;
    std::map<uint16_t, Character> characters;
    BitmapStore bitmaps;                // decoded on first use
    std::map<uint16_t, FontDef> fonts;
    std::map<uint16_t, TextRenderSettings> textSettings; // by text character id
    std::map<uint16_t, std::shared_ptr<const SoundDef>> sounds;
    std::map<uint16_t, std::shared_ptr<const VideoStreamDef>> videos;
    std::map<uint16_t, QByteArray> binaryData; // DefineBinaryData by id
    QHash<QString, uint16_t> exports; // ExportAssets names, lower-cased
    std::vector<AssetImport> imports;
    // ScriptLimits: nesting depth and script timeout in seconds; 0 when the file sets none.
    int maxRecursion = 0;
    int scriptTimeout = 0;
    // FileAttributes "use network": a local copy may reach the network and read no local file.
    bool useNetwork = false;
    // FileAttributes "ActionScript 3": the movie's scripts are bytecode blocks, not actions.
    bool actionScript3 = false;
    std::vector<AbcBlock> abcBlocks;            // in file order
    std::vector<SymbolClassLink> symbolClasses; // in file order
    QStringList warnings;             // what was skipped or cut short while parsing
    bool truncated = false;

    const Character* character(uint16_t id) const;
    const QImage* bitmap(uint16_t id) const;
    const FontDef* font(uint16_t id) const;
    std::shared_ptr<const SoundDef> sound(uint16_t id) const;
    std::shared_ptr<const VideoStreamDef> video(uint16_t id) const;
    // The sound exported under name (letter case ignored), or null.
    std::shared_ptr<const SoundDef> exportedSound(const QString& name) const;
    // Character exported under name (letter case ignored), or nullptr.
    const Character* exported(const QString& name, uint16_t* idOut = nullptr) const;

    // A copy of movie with the imported characters taken from their libraries,
    // or movie itself when it imports nothing. loadLibrary gives a library file's
    // bytes by the URL in the tag (empty when unavailable).
    static std::shared_ptr<const Movie> withImports(const std::shared_ptr<const Movie>& movie,
                                                    const std::function<QByteArray(const QString&)>& loadLibrary);
};

} // namespace nimbrel::movie::swf
