#include "movie/display/ButtonObject.h"
#include "movie/sound/SoundPlayback.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"

namespace nimbrel::movie::display {

ButtonObject::ButtonObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::ButtonDef> def)
    : DisplayObject(Type::Button, context, characterId), def_(std::move(def)) {}

ButtonObject::~ButtonObject() {
    for (auto& [depth, child] : children_) child->setParent(nullptr);
}

void ButtonObject::start() {
    if (children_.empty()) build();
}

void ButtonObject::setState(swf::ButtonState state) {
    if (state == state_) return;
    playChangeSound(state_, state);
    state_ = state;
    for (auto& [depth, child] : children_) {
        child->removed();
        child->setParent(nullptr);
    }
    children_.clear();
    build();
}

void ButtonObject::playChangeSound(swf::ButtonState from, swf::ButtonState to) {
    using namespace swf;
    int change = -1;
    if (from == ButtonOver && to == ButtonUp) change = OverToUp;
    else if (from == ButtonUp && to == ButtonOver) change = UpToOver;
    else if (from == ButtonOver && to == ButtonDown) change = OverToDown;
    else if (from == ButtonDown && to == ButtonOver) change = DownToOver;
    if (change < 0 || def_->sounds[size_t(change)].soundId == 0) return;
    sound::SoundPlayback* playback = context()->sound();
    if (!playback) return;
    StartSound start;
    start.soundId = def_->sounds[size_t(change)].soundId;
    start.info = def_->sounds[size_t(change)].info;
    // The clip holding the button owns the sound: its sound settings apply, its removal stops it.
    playback->startSound(*context()->movie(), start, parent() ? parent()->soundOwner() : static_cast<const DisplayObject*>(this));
}

void ButtonObject::build() {
    for (const swf::ButtonRecord& rec : def_->records) {
        if (!(rec.states & state_)) continue;
        // Record characters live under the button's parent clip so that nesting limits apply.
        auto obj = context()->instantiate(rec.characterId, parent());
        if (!obj || obj.get() == this) continue;
        obj->setParent(parent());
        obj->setDepth(rec.depth);
        obj->matrix = rec.matrix;
        obj->cxform = rec.cxform;
        obj->filters = rec.filters;
        obj->blendMode = rec.blendMode;
        if (obj->type() == Type::MovieClip) static_cast<MovieClip*>(obj.get())->start();
        children_[rec.depth] = std::move(obj);
    }
}

void ButtonObject::tick() {
    for (auto& [depth, child] : children_) {
        if (child->type() == Type::MovieClip) static_cast<MovieClip*>(child.get())->tick();
    }
}

QRectF ButtonObject::hitBounds() const {
    QRectF r;
    for (const swf::ButtonRecord& rec : def_->records) {
        if (!(rec.states & swf::ButtonHitTest)) continue;
        const swf::Character* c = context()->movie()->character(rec.characterId);
        if (!c) continue;
        QRectF b;
        if (auto s = std::get_if<std::shared_ptr<const swf::ShapeDef>>(c)) b = (*s)->bounds.toQRectF();
        else continue;
        b = rec.matrix.toQTransform().mapRect(b);
        r = r.isNull() ? b : r.united(b);
    }
    return r;
}

void ButtonObject::fire(uint16_t conditions) {
    for (const swf::ButtonAction& a : def_->actions)
        if (a.conditions & conditions) context()->scripts().buttonActions(this, a.actions);
}

QRectF ButtonObject::localBounds() const {
    QRectF r;
    for (const auto& [depth, child] : children_) {
        QRectF b = child->boundsInParent();
        r = r.isNull() ? b : r.united(b);
    }
    return r;
}

void ButtonObject::removed() {
    for (auto& [depth, child] : children_) child->removed();
    DisplayObject::removed();
}

} // namespace nimbrel::movie::display
