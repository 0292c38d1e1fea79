#include "movie/display/MovieContext.h"
#include "movie/display/BitmapObject.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MorphShapeObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptEngine.h"
#include "movie/display/ShapeObject.h"
#include "movie/display/StaticTextObject.h"
#include "movie/display/VideoObject.h"

namespace nimbrel::movie::display {

namespace {
ScriptEngine& nullEngine() {
    static NullScriptEngine engine;
    return engine;
}
} // namespace

MovieContext::MovieContext(std::shared_ptr<const swf::Movie> movie, ScriptEngine* scripts)
    : movie_(std::move(movie)), scripts_(scripts ? scripts : &nullEngine()),
      singlePrecision_(movie_ && movie_->header.version >= 8) {}

bool MovieContext::singlePrecisionTransforms() const {
    const MovieContext* top = this;
    while (top->owner_) top = top->owner_;
    return top->singlePrecision_;
}

void MovieContext::useSinglePrecisionTransforms() {
    MovieContext* top = this;
    while (top->owner_) top = top->owner_;
    top->singlePrecision_ = true;
}

MovieContext* MovieContext::contextForLoaded(std::shared_ptr<const swf::Movie> movie) {
    MovieContext* top = this;
    while (top->owner_) top = top->owner_;
    if (!movie || int(top->loaded_.size()) >= maxLoadedMovies) return nullptr;
    auto ctx = std::make_unique<MovieContext>(std::move(movie), scripts_);
    ctx->clock_ = top;
    ctx->owner_ = top;
    top->loaded_.push_back(std::move(ctx));
    return top->loaded_.back().get();
}

sound::SoundPlayback* MovieContext::sound() const {
    const MovieContext* top = this;
    while (top->owner_) top = top->owner_;
    return top->sound_;
}

void MovieContext::setScripts(ScriptEngine* scripts) { scripts_ = scripts ? scripts : &nullEngine(); }

std::shared_ptr<DisplayObject> MovieContext::instantiate(uint16_t characterId, MovieClip* parent) {
    const swf::Character* c = movie_->character(characterId);
    auto video = c ? nullptr : movie_->video(characterId);
    if (!c && !video) return placedBitmap(characterId);
    if (objects_ >= maxObjects) return nullptr;
    if (parent && parent->level() + 1 > maxNesting) return nullptr;
    if (video) return std::make_shared<VideoObject>(this, characterId, std::move(video));
    if (auto s = std::get_if<std::shared_ptr<const swf::ShapeDef>>(c))
        return std::make_shared<ShapeObject>(this, characterId, *s);
    if (auto m = std::get_if<std::shared_ptr<const swf::MorphShapeDef>>(c))
        return std::make_shared<MorphShapeObject>(this, characterId, *m);
    if (auto sp = std::get_if<std::shared_ptr<const swf::SpriteDef>>(c)) {
        // A sprite inside its own chain of parents would nest without end.
        for (MovieClip* p = parent; p; p = p->parent())
            if (p->characterId() == characterId && p->parent()) return nullptr;
        return std::make_shared<MovieClip>(this, characterId, &(*sp)->timeline);
    }
    if (auto b = std::get_if<std::shared_ptr<const swf::ButtonDef>>(c))
        return std::make_shared<ButtonObject>(this, characterId, *b);
    if (auto t = std::get_if<std::shared_ptr<const swf::TextDef>>(c))
        return std::make_shared<StaticTextObject>(this, characterId, *t);
    if (auto e = std::get_if<std::shared_ptr<const swf::EditTextDef>>(c))
        return std::make_shared<EditTextObject>(this, characterId, *e);
    return placedBitmap(characterId);
}

// ActionScript 3 movies place library bitmaps on the timeline as Bitmap objects.
std::shared_ptr<DisplayObject> MovieContext::placedBitmap(uint16_t characterId) {
    const QImage* image = movie_->actionScript3 && objects_ < maxObjects ? movie_->bitmap(characterId) : nullptr;
    if (!image || image->isNull()) return nullptr;
    auto pixels = std::make_shared<QImage>(image->convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return std::make_shared<BitmapObject>(this, std::move(pixels), false, characterId);
}

} // namespace nimbrel::movie::display
