#include "movie/swf/Movie.h"

namespace nimbrel::movie::swf {

const Character* Movie::character(uint16_t id) const {
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : &it->second;
}

const QImage* Movie::bitmap(uint16_t id) const {
    auto it = bitmaps.find(id);
    return it == bitmaps.end() ? nullptr : &it->second.image;
}

const FontDef* Movie::font(uint16_t id) const {
    auto it = fonts.find(id);
    return it == fonts.end() ? nullptr : &it->second;
}

const Character* Movie::exported(const QString& name, uint16_t* idOut) const {
    auto it = exports.find(name.toLower());
    if (it == exports.end()) return nullptr;
    if (idOut) *idOut = it.value();
    return character(it.value());
}

} // namespace nimbrel::movie::swf
