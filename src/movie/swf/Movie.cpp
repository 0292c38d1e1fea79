#include "movie/swf/Movie.h"
#include "movie/swf/MovieParser.h"

namespace nimbrel::movie::swf {

const Character* Movie::character(uint16_t id) const {
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : &it->second;
}

const QImage* Movie::bitmap(uint16_t id) const {
    return bitmaps.image(id);
}

const FontDef* Movie::font(uint16_t id) const {
    auto it = fonts.find(id);
    return it == fonts.end() ? nullptr : &it->second;
}

std::shared_ptr<const SoundDef> Movie::sound(uint16_t id) const {
    auto it = sounds.find(id);
    return it == sounds.end() ? nullptr : it->second;
}

std::shared_ptr<const VideoStreamDef> Movie::video(uint16_t id) const {
    auto it = videos.find(id);
    return it == videos.end() ? nullptr : it->second;
}

std::shared_ptr<const SoundDef> Movie::exportedSound(const QString& name) const {
    auto it = exports.find(name.toLower());
    return it == exports.end() ? nullptr : sound(it.value());
}

const Character* Movie::exported(const QString& name, uint16_t* idOut) const {
    auto it = exports.find(name.toLower());
    if (it == exports.end()) return nullptr;
    if (idOut) *idOut = it.value();
    return character(it.value());
}

std::shared_ptr<const Movie> Movie::withImports(const std::shared_ptr<const Movie>& movie,
                                                const std::function<QByteArray(const QString&)>& loadLibrary) {
    std::shared_ptr<Movie> merged;
    for (const AssetImport& import : movie->imports) {
        const QByteArray bytes = loadLibrary(import.url);
        if (bytes.isEmpty()) continue;
        auto parsed = MovieParser::parse(bytes);
        if (!parsed) continue;
        const std::shared_ptr<const Movie>& library = parsed.value();
        if (!merged) merged = std::make_shared<Movie>(*movie);
        for (const auto& [id, name] : import.assets)
            if (const Character* c = library->exported(name)) merged->characters[id] = *c;
        // What the imported symbols place inside themselves comes from the library too.
        for (const auto& [id, c] : library->characters) merged->characters.emplace(id, c);
    }
    if (merged) return merged;
    return movie;
}

} // namespace nimbrel::movie::swf
