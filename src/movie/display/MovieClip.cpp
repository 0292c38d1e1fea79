#include "movie/display/MovieClip.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include "movie/sound/SoundPlayback.h"
#include <algorithm>
#include <limits>

namespace nimbrel::movie::display {

namespace {

// Depths from here on belong to scripts; the timeline places below it.
constexpr int kScriptDepthBase = 16384;

const swf::Timeline& emptyTimeline() {
    static const swf::Timeline t;
    return t;
}

// Copies the fields b carries over a.
void merge(swf::PlaceObject& a, const swf::PlaceObject& b) {
    if (b.matrix) a.matrix = b.matrix;
    if (b.cxform) a.cxform = b.cxform;
    if (b.ratio) a.ratio = b.ratio;
    if (b.name) a.name = b.name;
    if (b.clipDepth) a.clipDepth = b.clipDepth;
    if (b.filters) a.filters = b.filters;
    if (b.blendMode) a.blendMode = b.blendMode;
    if (b.cacheAsBitmap) a.cacheAsBitmap = b.cacheAsBitmap;
    if (b.visible) a.visible = b.visible;
    if (b.opaqueBackground) a.opaqueBackground = b.opaqueBackground;
    if (!b.clipActions.empty()) a.clipActions = b.clipActions;
}

void resetPlacement(DisplayObject& o) {
    if (!o.transformedByScript) {
        o.matrix = {};
        o.cxform = {};
    }
    o.ratio = 0;
    o.clipDepth = 0;
    o.filters.clear();
    o.blendMode = swf::BlendMode::Normal;
    o.cacheAsBitmap = false;
    o.visible = true;
    o.opaqueBackground.reset();
}

} // namespace

// State of one depth while a goto replays the timeline.
struct MovieClip::Slot {
    uint16_t characterId = 0;
    swf::PlaceObject placement; // fields set since the slot's object was placed (or since the start frame)
    bool fresh = false;         // a new instance was placed during the replay
    int placedAt = -1;          // the frame whose placement made the slot's instance
};

MovieClip::MovieClip(MovieContext* context, uint16_t characterId, const swf::Timeline* timeline)
    : DisplayObject(Type::MovieClip, context, characterId),
      timeline_(timeline ? timeline : &emptyTimeline()),
      bornTick_(context->tick()) {}

MovieClip::~MovieClip() {
    for (auto& [depth, child] : children_) child->setParent(nullptr);
}

int MovieClip::totalFrames() const { return timeline_->frameCount(); }

DisplayObject* MovieClip::childAt(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::childByName(const QString& name) const {
    for (const auto& [depth, child] : children_)
        if (child->name().compare(name, Qt::CaseInsensitive) == 0) return child.get();
    return nullptr;
}

void MovieClip::start() {
    if (current_ >= 0) return;
    current_ = 0;
    runFrame(0);
}

void MovieClip::tick() {
    auto keepAlive = shared_from_this();
    // Children already on stage run their frame before this clip's own actions,
    // newest first; children this frame places run theirs after it.
    std::vector<std::shared_ptr<DisplayObject>> snapshot;
    snapshot.reserve(children_.size());
    for (const auto& [depth, child] : children_) snapshot.push_back(child);
    std::sort(snapshot.begin(), snapshot.end(),
              [](const auto& a, const auto& b) { return a->creationOrder() > b->creationOrder(); });
    if (bornTick_ != context()->tick() && playing_) {
        if (current_ + 1 < totalFrames()) {
            // What the next frame removes leaves while the clip is still on this one.
            const std::vector<int> leaving = leavingDepths(current_ + 1);
            for (int depth : leaving) removeDepth(depth);
            current_ += 1;
            runFrame(current_, leaving);
        } else if (totalFrames() > 1) {
            rebuildTo(0); // looping is a goto to the first frame
        }
    }
    for (const auto& child : snapshot) {
        if (child->parent() != this) continue; // removed meanwhile
        if (child->type() == Type::MovieClip) static_cast<MovieClip*>(child.get())->tick();
        else if (child->type() == Type::Button) static_cast<ButtonObject*>(child.get())->tick();
    }
    flushActions();
}

void MovieClip::dispatchEvent(swf::ClipEvent event) {
    context()->scripts().clipEvent(this, event);
    std::vector<std::shared_ptr<DisplayObject>> snapshot;
    for (const auto& [depth, child] : children_)
        if (child->type() == Type::MovieClip) snapshot.push_back(child);
    for (const auto& child : snapshot) static_cast<MovieClip*>(child.get())->dispatchEvent(event);
}

namespace {
void collectTopmostFirst(MovieClip& clip, std::vector<std::shared_ptr<MovieClip>>& out, int depth) {
    if (depth > MovieContext::maxNesting * 2) return;
    const auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (it->second->type() == DisplayObject::Type::MovieClip)
            collectTopmostFirst(static_cast<MovieClip&>(*it->second), out, depth + 1);
    out.push_back(std::static_pointer_cast<MovieClip>(clip.shared_from_this()));
}
} // namespace

std::vector<std::shared_ptr<MovieClip>> MovieClip::clipsTopmostFirst() {
    std::vector<std::shared_ptr<MovieClip>> out;
    collectTopmostFirst(*this, out, 0);
    return out;
}

void MovieClip::flushActions() {
    ScriptEngine& scripts = context()->scripts();
    // Init actions run on the main timeline of the movie they came with.
    MovieClip* root = this;
    while (root->parent() && root->parent()->context() == context()) root = root->parent();
    auto init = std::move(pendingInit_);
    pendingInit_.clear();
    for (auto& [spriteId, bytes] : init)
        if (context()->claimInitActions(spriteId)) scripts.initActions(root, spriteId, bytes);
    auto actions = std::move(pendingActions_);
    pendingActions_.clear();
    for (const QByteArray& bytes : actions) scripts.frameActions(this, bytes);
    if (frameEntered_) {
        frameEntered_ = false;
        scripts.frameEntered(this, currentFrame());
    }
    auto born = std::move(newborn_);
    newborn_.clear();
    for (auto& weak : born)
        if (auto child = weak.lock(); child && child->type() == Type::MovieClip)
            static_cast<MovieClip*>(child.get())->flushActions();
}

void MovieClip::gotoFrame(int frame, bool andPlay) {
    auto keepAlive = shared_from_this();
    frame = std::clamp(frame, 0, totalFrames() - 1);
    playing_ = andPlay;
    if (current_ < 0) {
        current_ = 0;
        runFrame(0);
    }
    if (frame != current_) {
        rebuildTo(frame);
        // Clips that frames passed over placed run their first frame before the
        // target frame's own actions; those the target frame places, after them.
        auto targetActions = std::move(pendingActions_);
        pendingActions_.clear();
        std::vector<std::weak_ptr<DisplayObject>> passedOver;
        std::vector<std::weak_ptr<DisplayObject>> placedHere;
        for (auto& weak : newborn_) {
            auto child = weak.lock();
            if (child && child->placedFrame >= 0 && child->placedFrame < current_) passedOver.push_back(weak);
            else placedHere.push_back(weak);
        }
        newborn_.clear();
        flushActions(); // init actions of the frames passed
        for (auto& weak : passedOver)
            if (auto child = weak.lock(); child && child->type() == Type::MovieClip)
                static_cast<MovieClip*>(child.get())->flushActions();
        targetActions.insert(targetActions.end(), pendingActions_.begin(), pendingActions_.end());
        pendingActions_ = std::move(targetActions);
        newborn_.insert(newborn_.end(), placedHere.begin(), placedHere.end());
    }
    flushActions();
}

bool MovieClip::gotoLabel(const QString& label, bool andPlay) {
    int f = timeline_->frameOfLabel(label);
    if (f < 0) return false;
    gotoFrame(f, andPlay);
    return true;
}

void MovieClip::collectActions(int frame, bool frameActions) {
    if (frameActions) frameEntered_ = true;
    for (const auto& tag : timeline_->frame(frame).tags) {
        if (auto a = std::get_if<swf::DoAction>(&tag); a && frameActions) pendingActions_.push_back(a->actions);
        else if (auto i = std::get_if<swf::DoInitAction>(&tag)) pendingInit_.emplace_back(i->spriteId, i->actions);
    }
}

void MovieClip::runFrame(int frame, const std::vector<int>& removedAlready) {
    std::vector<int> pending = removedAlready;
    for (const auto& tag : timeline_->frame(frame).tags) {
        if (auto ro = std::get_if<swf::RemoveObject>(&tag)) {
            auto it = std::find(pending.begin(), pending.end(), int(ro->depth));
            if (it != pending.end()) {
                pending.erase(it);
                continue;
            }
        }
        applyTag(tag);
    }
    collectActions(frame, true);
}

std::vector<int> MovieClip::leavingDepths(int frame) const {
    // Only removals that come before anything else the frame does at their depth.
    std::vector<int> out, touched;
    for (const auto& tag : timeline_->frame(frame).tags) {
        if (auto ro = std::get_if<swf::RemoveObject>(&tag)) {
            if (std::find(touched.begin(), touched.end(), int(ro->depth)) == touched.end()) out.push_back(ro->depth);
            touched.push_back(ro->depth);
        } else if (auto po = std::get_if<swf::PlaceObject>(&tag)) {
            touched.push_back(po->depth);
        }
    }
    return out;
}

void MovieClip::applyTag(const swf::ControlTag& tag) {
    if (auto po = std::get_if<swf::PlaceObject>(&tag)) placeFromTimeline(*po);
    // Removal takes whatever holds the depth, a script's clip swapped there included.
    else if (auto ro = std::get_if<swf::RemoveObject>(&tag)) removeDepth(ro->depth);
    else if (std::holds_alternative<swf::StartSound>(tag) || std::holds_alternative<swf::SoundStreamBlock>(tag))
        playSoundTag(tag);
}

void MovieClip::playSoundTag(const swf::ControlTag& tag) {
    sound::SoundPlayback* playback = context()->sound();
    if (!playback) return;
    if (auto start = std::get_if<swf::StartSound>(&tag)) playback->startSound(*context()->movie(), *start, soundOwner());
    else if (auto block = std::get_if<swf::SoundStreamBlock>(&tag); block && timeline_->streamHead)
        playback->streamBlock(*timeline_->streamHead, *block, soundOwner());
}

void MovieClip::placeFromTimeline(const swf::PlaceObject& po) {
    auto it = children_.find(po.depth);
    DisplayObject* existing = it == children_.end() ? nullptr : it->second.get();
    if (existing && existing->placedByScript) return; // the timeline never displaces a script's object
    if (po.move) {
        if (!existing) return;
        if (po.characterId && *po.characterId != existing->characterId()) {
            // Another character takes the depth and keeps the old placement.
            swf::PlaceObject carried;
            carried.depth = po.depth;
            carried.matrix = existing->matrix;
            carried.cxform = existing->cxform;
            carried.ratio = existing->ratio;
            carried.clipDepth = existing->clipDepth;
            if (!existing->placedName().isEmpty()) carried.name = existing->placedName();
            merge(carried, po);
            removeDepth(po.depth);
            create(*po.characterId, po.depth, &carried, current_);
        } else {
            existing->applyPlacement(po);
        }
        return;
    }
    if (!po.characterId) return;
    if (existing) {
        // A new placement never displaces what the timeline already put there.
        context()->scripts().warning(QStringLiteral("Failed to place object at depth %1.").arg(po.depth));
        return;
    }
    create(*po.characterId, po.depth, &po, current_);
}

std::shared_ptr<DisplayObject> MovieClip::create(uint16_t characterId, int depth, const swf::PlaceObject* po,
                                                 int placedFrame) {
    auto obj = context()->instantiate(characterId, this);
    if (!obj) return nullptr;
    obj->setParent(this);
    obj->setDepth(depth);
    obj->placedFrame = placedFrame;
    if (po) obj->applyPlacement(*po);
    children_[depth] = obj;
    context()->scripts().objectCreated(obj.get());
    if (obj->type() == Type::MovieClip) {
        static_cast<MovieClip*>(obj.get())->start();
        newborn_.push_back(obj);
    } else if (obj->type() == Type::Button) {
        static_cast<ButtonObject*>(obj.get())->start();
    }
    context()->scripts().clipEvent(obj.get(), swf::ClipEventLoad);
    return obj;
}

void MovieClip::removeDepth(int depth) {
    auto it = children_.find(depth);
    if (it == children_.end()) return;
    auto obj = std::move(it->second);
    children_.erase(it);
    obj->removed();
    obj->setParent(nullptr);
}

void MovieClip::rebuildTo(int target) {
    rebuildDisplayTo(target);
    // Sounds of the frames passed over stay silent; the target frame's play.
    if (sound::SoundPlayback* playback = context()->sound()) {
        playback->streamJump(soundOwner());
        for (const auto& tag : timeline_->frame(current_).tags) playSoundTag(tag);
    }
}

void MovieClip::rebuildDisplayTo(int target) {
    const bool backward = target < current_;
    std::map<int, Slot> plan;
    int from = current_ + 1;
    if (backward) {
        from = 0;
    } else {
        for (const auto& [depth, child] : children_) {
            if (child->placedByScript) continue;
            Slot& s = plan[depth];
            s.characterId = child->characterId();
            s.placedAt = child->placedFrame;
            // What a character swap carries over to the new instance.
            s.placement.matrix = child->matrix;
            s.placement.cxform = child->cxform;
            s.placement.ratio = child->ratio;
            s.placement.clipDepth = child->clipDepth;
            if (!child->placedName().isEmpty()) s.placement.name = child->placedName();
        }
    }
    for (int f = from; f <= target; ++f) {
        for (const auto& tag : timeline_->frame(f).tags) {
            if (auto ro = std::get_if<swf::RemoveObject>(&tag)) {
                plan.erase(ro->depth);
                continue;
            }
            auto po = std::get_if<swf::PlaceObject>(&tag);
            if (!po) continue;
            auto it = plan.find(po->depth);
            if (po->move) {
                if (it == plan.end()) continue;
                if (po->characterId && *po->characterId != it->second.characterId) {
                    it->second.characterId = *po->characterId;
                    it->second.fresh = true;
                    it->second.placedAt = f;
                }
                merge(it->second.placement, *po);
            } else if (po->characterId && it == plan.end()) {
                // As when playing, a placement never displaces what holds the depth.
                Slot s;
                s.characterId = *po->characterId;
                s.placement = *po;
                s.fresh = true;
                s.placedAt = f;
                plan[po->depth] = std::move(s);
            }
        }
        if (f != target) collectActions(f, false);
    }

    std::vector<int> gone;
    for (auto& [depth, child] : children_) {
        auto it = plan.find(depth);
        if (backward) {
            // Going back keeps an object the timeline placed when the target
            // frame holds the same character with the same ratio at its depth
            // (or a script moved it there); the rest of the timeline's depths
            // is cleared, script-made clips included.
            if (depth >= kScriptDepthBase || (child->placedByScript && child->placedFrame >= 0)) {
                if (it == plan.end()) continue;
                if (!child->placedByScript && it->second.characterId == child->characterId()) {
                    resetPlacement(*child);
                    child->applyPlacement(it->second.placement);
                }
                plan.erase(it); // the depth is taken: that placement does not happen
                continue;
            }
            const bool same = it != plan.end() && child->placedFrame >= 0 && !child->placedByScript &&
                              it->second.characterId == child->characterId() &&
                              it->second.placement.ratio.value_or(0) == child->ratio;
            if (!same) {
                gone.push_back(depth);
                continue;
            }
            swf::PlaceObject placement = it->second.placement;
            placement.name.reset(); // it keeps the name it has
            resetPlacement(*child);
            child->applyPlacement(placement);
            child->placedFrame = it->second.placedAt;
            plan.erase(it);
            continue;
        }
        if (child->placedByScript) continue;
        // Keep what stands at the same depth with the same character; replace the rest.
        // A different name means another instance in the file's eyes.
        const bool keep = it != plan.end() && it->second.characterId == child->characterId() && !it->second.fresh &&
                          it->second.placement.name.value_or(QString()) == child->placedName();
        if (!keep) {
            gone.push_back(depth);
            continue;
        }
        child->applyPlacement(it->second.placement);
        plan.erase(it);
    }
    for (int depth : gone) removeDepth(depth);
    for (auto& [depth, slot] : plan) {
        if (children_.count(depth)) continue; // a script's object holds the depth
        slot.placement.depth = uint16_t(depth);
        create(slot.characterId, depth, &slot.placement, slot.placedAt);
    }
    current_ = target;
    collectActions(target, true);
}

MovieClip* MovieClip::createEmptyMovieClip(const QString& name, int depth) {
    if (context()->objectCount() >= MovieContext::maxObjects || level() + 1 > MovieContext::maxNesting)
        return nullptr;
    removeDepth(depth);
    auto clip = std::make_shared<MovieClip>(context(), 0, nullptr);
    clip->placedByScript = true;
    clip->setParent(this);
    clip->setDepth(depth);
    clip->setName(name);
    children_[depth] = clip;
    context()->scripts().objectCreated(clip.get());
    clip->start();
    return clip.get();
}

DisplayObject* MovieClip::attachMovie(const QString& exportName, const QString& newName, int depth) {
    uint16_t id = 0;
    if (!context()->movie()->exported(exportName, &id)) return nullptr;
    removeDepth(depth);
    swf::PlaceObject po;
    po.depth = uint16_t(depth);
    po.name = newName;
    auto obj = create(id, depth, &po);
    if (!obj) return nullptr;
    obj->placedByScript = true;
    flushActions();
    return obj.get();
}

DisplayObject* MovieClip::duplicate(const QString& newName, int depth) {
    MovieClip* p = parent();
    if (!p) return nullptr;
    // Everything is copied before the depth is cleared: the target depth may be
    // this clip's own, and removing it frees this clip.
    const uint16_t id = characterId();
    std::shared_ptr<DrawingCanvas> drawn = drawing ? std::make_shared<DrawingCanvas>(*drawing) : nullptr;
    swf::PlaceObject po;
    po.depth = uint16_t(depth);
    po.matrix = matrix;
    po.cxform = cxform;
    po.ratio = ratio;
    po.name = newName;
    po.clipActions = clipActions;
    if (filters.size()) po.filters = filters;
    po.blendMode = blendMode;
    std::shared_ptr<DisplayObject> obj;
    if (id == 0) {
        // A clip a script made empty is copied as another empty clip.
        MovieClip* made = p->createEmptyMovieClip(newName, depth);
        if (!made) return nullptr;
        obj = made->shared_from_this();
        obj->applyPlacement(po);
    } else {
        p->removeDepth(depth);
        obj = p->create(id, depth, &po);
        if (!obj) return nullptr;
    }
    obj->placedByScript = true;
    // What the original drew comes along.
    if (drawn && obj->type() == Type::MovieClip) static_cast<MovieClip*>(obj.get())->drawing = std::move(drawn);
    p->flushActions();
    return obj.get();
}

DisplayObject* MovieClip::addScriptObject(std::shared_ptr<DisplayObject> object, const QString& name, int depth) {
    if (!object || context()->objectCount() > MovieContext::maxObjects) return nullptr;
    removeDepth(depth);
    object->placedByScript = true;
    object->setParent(this);
    object->setDepth(depth);
    object->setName(name);
    children_[depth] = object;
    context()->scripts().objectCreated(object.get());
    return object.get();
}

MovieClip* MovieClip::replaceWithMovie(std::shared_ptr<const swf::Movie> movie) {
    MovieClip* p = parent();
    if (!p || !movie) return nullptr;
    MovieContext* ctx = context()->contextForLoaded(movie);
    if (!ctx || level() > MovieContext::maxNesting) return nullptr;
    auto keepAlive = shared_from_this();
    auto clip = std::make_shared<MovieClip>(ctx, characterId(), &ctx->movie()->timeline);
    clip->matrix = matrix;
    clip->cxform = cxform;
    clip->visible = visible;
    clip->placedByScript = true; // the timeline no longer manages what was loaded
    clip->placedFrame = placedFrame; // but going back keeps it as long as it kept the clip it replaced
    clip->transformedByScript = transformedByScript;
    const int at = depth();
    const QString keptName = name();
    p->removeDepth(at);
    clip->setParent(p);
    clip->setDepth(at);
    clip->setName(keptName);
    p->children_[at] = clip;
    ctx->scripts().objectCreated(clip.get());
    clip->start();
    clip->flushActions();
    return clip.get();
}

void MovieClip::unloadContents() {
    auto keepAlive = shared_from_this();
    std::vector<int> depths;
    for (const auto& [d, child] : children_) depths.push_back(d);
    for (int d : depths) removeDepth(d);
    if (sound::SoundPlayback* playback = context()->sound()) playback->ownerGone(soundOwner());
    timeline_ = &emptyTimeline();
    current_ = 0;
    pendingActions_.clear();
    pendingInit_.clear();
}

std::shared_ptr<DisplayObject> MovieClip::takeChild(DisplayObject* child) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it->second.get() != child) continue;
        auto obj = std::move(it->second);
        children_.erase(it);
        obj->setParent(nullptr);
        return obj;
    }
    return nullptr;
}

void MovieClip::insertChild(std::shared_ptr<DisplayObject> child, int index) {
    if (!child) return;
    std::vector<int> depths;
    for (const auto& [d, c] : children_) depths.push_back(d);
    index = std::clamp(index, 0, int(depths.size()));
    int depth;
    if (index == int(depths.size())) {
        depth = depths.empty() ? kScriptDepthBase : std::max(depths.back() + 1, kScriptDepthBase);
    } else if (index > 0 && depths[index - 1] + 1 < depths[index]) {
        depth = depths[index] - 1;
    } else if (index == 0 && depths[0] > std::numeric_limits<int>::min()) {
        depth = depths[0] - 1;
    } else {
        depth = depths[index];
        ChildMap shifted;
        for (auto& [d, c] : children_) {
            const int nd = d >= depth ? d + 1 : d;
            c->setDepth(nd);
            shifted[nd] = std::move(c);
        }
        children_ = std::move(shifted);
    }
    child->placedByScript = true;
    child->setParent(this);
    child->setDepth(depth);
    children_[depth] = std::move(child);
}

bool MovieClip::removeChildAt(int depth) {
    if (!children_.count(depth)) return false;
    removeDepth(depth);
    return true;
}

bool MovieClip::swapChildDepths(int fromDepth, int toDepth) {
    auto a = children_.find(fromDepth);
    if (a == children_.end() || fromDepth == toDepth) return false;
    auto moving = a->second;
    children_.erase(a);
    auto b = children_.find(toDepth);
    if (b != children_.end()) {
        auto other = b->second;
        other->setDepth(fromDepth);
        other->placedByScript = true;
        children_[fromDepth] = other;
    }
    moving->setDepth(toDepth);
    // Once moved by a script, the timeline no longer manages either object.
    moving->placedByScript = true;
    children_[toDepth] = moving;
    return true;
}

QRectF MovieClip::localBounds() const {
    QRectF r = drawing && !drawing->isEmpty() ? drawing->bounds() : QRectF();
    for (const auto& [depth, child] : children_) {
        QRectF b = child->localBounds();
        if (b.isNull() && b.isEmpty()) continue;
        r = r.isNull() ? child->boundsInParent() : r.united(child->boundsInParent());
    }
    return r;
}

void MovieClip::removed() {
    for (auto& [depth, child] : children_) child->removed();
    if (sound::SoundPlayback* playback = context()->sound()) playback->ownerGone(soundOwner());
    DisplayObject::removed();
}

} // namespace nimbrel::movie::display
