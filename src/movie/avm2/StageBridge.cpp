#include "movie/avm2/StageBridge.h"
#include <algorithm>
#include "movie/avm2/Runtime.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"

namespace nimbrel::movie::avm2 {

using display::DisplayObject;
using display::MovieClip;

namespace {

constexpr int kMaxPath = 256;

QString builtinClassFor(const DisplayObject& object) {
    switch (object.type()) {
    case DisplayObject::Type::MovieClip: return QStringLiteral("flash.display.MovieClip");
    case DisplayObject::Type::Shape: return QStringLiteral("flash.display.Shape");
    case DisplayObject::Type::MorphShape: return QStringLiteral("flash.display.MorphShape");
    case DisplayObject::Type::Bitmap: return QStringLiteral("flash.display.Bitmap");
    case DisplayObject::Type::Button: return QStringLiteral("flash.display.SimpleButton");
    case DisplayObject::Type::EditText: return QStringLiteral("flash.text.TextField");
    default: return QStringLiteral("flash.display.DisplayObject");
    }
}

} // namespace

StageBridge::StageBridge(Runtime& rt, MovieClip* root, display::ScriptHost* host) : rt(rt), root_(root), host_(host) {
    if (ClassObject* cls = rt.builtin(QStringLiteral("flash.display.Stage")))
        stage_ = std::dynamic_pointer_cast<EventTargetObject>(cls->allocate());
    if (!stage_) stage_ = std::make_shared<EventTargetObject>();
}

std::shared_ptr<EventTargetObject> StageBridge::wrap(DisplayObject* object) {
    if (!object) return nullptr;
    auto it = wrappers_.find(object);
    if (it != wrappers_.end()) return it->second;
    ClassObject* cls = nullptr;
    bool linked = false;
    if (object->context() == root_->context() && linkedClasses.contains(object->characterId()) &&
        object->type() == DisplayObject::Type::MovieClip && object->characterId() != 0) {
        try {
            auto found = rt.findClass(linkedClasses.value(object->characterId()));
            cls = found.get();
            linked = cls != nullptr;
        } catch (const ScriptThrow&) {
        }
    }
    if (!cls) cls = rt.builtin(builtinClassFor(*object));
    auto made = cls ? std::dynamic_pointer_cast<EventTargetObject>(cls->allocate()) : nullptr;
    if (!made) made = std::make_shared<EventTargetObject>();
    bind(made, object->shared_from_this());
    if (linked) unconstructed.emplace_back(object->weak_from_this(), made);
    return made;
}

Value StageBridge::valueOf(DisplayObject* object) {
    if (!object) return Value::null();
    return Value::object(wrap(object));
}

void StageBridge::bind(const std::shared_ptr<EventTargetObject>& obj, std::shared_ptr<DisplayObject> object) {
    if (!obj || !object) return;
    wrappers_[object.get()] = obj;
    obj->displayObject = std::move(object);
}

void StageBridge::forget(DisplayObject* object) { wrappers_.erase(object); }

DisplayObject* StageBridge::displayOf(const Value& v) {
    auto* t = v.isObject() ? dynamic_cast<EventTargetObject*>(v.obj()) : nullptr;
    return t ? t->displayObject.get() : nullptr;
}

std::shared_ptr<EventObject> StageBridge::newEvent(const QString& clsName, const QString& type, bool bubbles,
                                                   bool cancelable) {
    ClassObject* cls = rt.builtin(clsName);
    auto e = cls ? std::dynamic_pointer_cast<EventObject>(cls->allocate()) : nullptr;
    if (!e) e = std::make_shared<EventObject>();
    e->eventType = type;
    e->bubbles = bubbles;
    e->cancelable = cancelable;
    return e;
}

void StageBridge::dispatchTo(EventTargetObject& object, EventObject& event) {
    event.currentTarget = object.eventFace();
    const std::vector<Value> fns = object.listenersFor(event.eventType, event.phase == EventObject::Capturing);
    const Value arg = Value::object(event.shared_from_this());
    for (const Value& fn : fns) {
        if (event.stoppedAtOnce) break;
        rt.call(fn, Value::null(), Args{&arg, 1});
    }
}

bool StageBridge::dispatch(EventTargetObject& target, EventObject& event) {
    auto keep = target.shared_from_this();
    event.target = target.eventFace();
    event.stopped = event.stoppedAtOnce = false;
    // The path is fixed when dispatch starts: listeners moving objects change nothing now.
    std::vector<std::shared_ptr<EventTargetObject>> ancestors; // nearest first
    // A dispatcher standing in for a display object sends along that object's path.
    DisplayObject* d = target.displayObject ? target.displayObject.get() : displayOf(event.target);
    if (d) {
        int guard = 0;
        for (MovieClip* p = d->parent(); p && guard < kMaxPath; p = p->parent(), ++guard)
            ancestors.push_back(wrap(p));
        if (onStage(*d))
            ancestors.push_back(stage_);
    }
    event.phase = EventObject::Capturing;
    for (auto it = ancestors.rbegin(); it != ancestors.rend() && !event.stopped; ++it) dispatchTo(**it, event);
    if (!event.stopped) {
        event.phase = EventObject::AtTarget;
        dispatchTo(target, event);
    }
    if (event.bubbles) {
        event.phase = EventObject::Bubbling;
        for (auto it = ancestors.begin(); it != ancestors.end() && !event.stopped; ++it) dispatchTo(**it, event);
    }
    event.phase = EventObject::None;
    event.currentTarget = Value::null();
    return !event.defaultPrevented;
}

bool StageBridge::isBroadcast(const QString& type) {
    return type == QLatin1String("enterFrame") || type == QLatin1String("frameConstructed") ||
           type == QLatin1String("exitFrame") || type == QLatin1String("render");
}

void StageBridge::noteBroadcastListener(EventTargetObject& target) {
    for (const auto& w : broadcastListeners_)
        if (w.lock().get() == &target) return;
    broadcastListeners_.push_back(std::static_pointer_cast<EventTargetObject>(target.shared_from_this()));
}

void StageBridge::broadcast(const QString& type) {
    std::vector<std::shared_ptr<EventTargetObject>> targets;
    std::erase_if(broadcastListeners_, [](const auto& w) { return w.expired(); });
    for (const auto& w : broadcastListeners_)
        if (auto t = w.lock(); t && t->hasListener(type)) targets.push_back(std::move(t));
    for (const auto& t : targets) {
        auto e = newEvent(QStringLiteral("flash.events.Event"), type);
        e->target = Value::object(t);
        e->phase = EventObject::AtTarget;
        dispatchTo(*t, *e);
    }
}

bool StageBridge::onStage(const DisplayObject& object) const {
    const DisplayObject* o = &object;
    for (int guard = 0; o && guard < kMaxPath; ++guard) {
        if (o == root_) return true;
        o = o->parent();
    }
    return false;
}

void StageBridge::eachOnStage(DisplayObject& object, const QString& type) {
    auto e = newEvent(QStringLiteral("flash.events.Event"), type);
    dispatch(*wrap(&object), *e);
    if (object.type() != DisplayObject::Type::MovieClip) return;
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) children.push_back(child);
    for (const auto& child : children) eachOnStage(*child, type);
}

void StageBridge::announceAdded(DisplayObject& child, bool subtree) {
    auto e = newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("added"), true);
    dispatch(*wrap(&child), *e);
    if (!onStage(child)) return;
    if (subtree) {
        eachOnStage(child, QStringLiteral("addedToStage"));
    } else {
        auto staged = newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("addedToStage"));
        dispatch(*wrap(&child), *staged);
    }
}

void StageBridge::announceRemoved(DisplayObject& child) {
    auto e = newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("removed"), true);
    dispatch(*wrap(&child), *e);
    if (onStage(child)) eachOnStage(child, QStringLiteral("removedFromStage"));
}

void StageBridge::timelineRemoved(DisplayObject& object, bool top) {
    // An object no script ever reached has no listeners of its own.
    if (!top && !wrappers_.count(&object)) return;
    if (top) dispatch(*wrap(&object), *newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("removed"), true));
    if (onStage(object))
        dispatch(*wrap(&object), *newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("removedFromStage")));
}

void StageBridge::addChildAt(MovieClip& parent, const std::shared_ptr<DisplayObject>& child, int index) {
    auto wrapper = wrap(child.get());
    if (child->parent() == &parent) {
        // Moving within its parent is only a new place: nothing leaves or joins.
        auto keep = parent.takeChild(child.get());
        parent.insertChild(keep, std::min<int>(index, int(parent.children().size())));
        return;
    }
    if (MovieClip* old = child->parent()) removeChild(*old, *child);
    parent.insertChild(child, index);
    wrappers_[child.get()] = wrapper;
    announceAdded(*child);
}

void StageBridge::removeChild(MovieClip& parent, DisplayObject& child) {
    auto keep = child.shared_from_this();
    announceRemoved(child);
    if (child.parent() == &parent) parent.takeChild(&child);
}

void StageBridge::mouseEvent(DisplayObject* target, const QString& type) {
    if (!target) return;
    // The innermost clip under the pointer is the target; the object the player found holds it.
    QPointF pointer = host_ ? host_->pointerPosition() : QPointF();
    DisplayObject* inner = target;
    for (int guard = 0; guard < kMaxPath && inner->type() == DisplayObject::Type::MovieClip; ++guard) {
        DisplayObject* next = nullptr;
        const auto& children = static_cast<MovieClip*>(inner)->children();
        for (auto it = children.rbegin(); it != children.rend() && !next; ++it) {
            DisplayObject& o = *it->second;
            QPointF inParent;
            if (o.type() != DisplayObject::Type::MovieClip || !o.visible) continue;
            // A Shape a script made is drawn by a clip, but the pointer never targets it.
            if (auto w = wrappers_.find(&o); w != wrappers_.end() && w->second->isShape) continue;
            if (display::HitTest::stageToLocal(*inner, pointer, &inParent) &&
                display::HitTest::contains(o, inParent, true))
                next = &o;
        }
        if (!next) break;
        inner = next;
    }
    const bool bubbles = !type.startsWith(QLatin1String("roll"));
    auto e = newEvent(QStringLiteral("flash.events.MouseEvent"), type, bubbles, false);
    QPointF local;
    if (display::HitTest::stageToLocal(*inner, pointer, &local)) {
        e->localX = local.x() / 20.0;
        e->localY = local.y() / 20.0;
    }
    e->buttonDown = type == QLatin1String("mouseDown");
    dispatch(*wrap(inner), *e);
}

void StageBridge::keyEvent(const QString& type, uint32_t keyCode, uint32_t charCode) {
    auto e = newEvent(QStringLiteral("flash.events.KeyboardEvent"), type, true, false);
    e->keyCode = keyCode;
    e->charCode = charCode;
    // The modifier keys held while this key went down or up.
    if (host_) {
        e->shiftKey = host_->isKeyDown(16);
        e->ctrlKey = host_->isKeyDown(17);
        e->altKey = host_->isKeyDown(18);
    }
    dispatch(*stage_, *e);
}

void StageBridge::link(uint16_t characterId, const QString& className) {
    linkedClasses.insert(characterId, className);
    links_.emplace_back(characterId, className);
}

std::vector<uint16_t> StageBridge::symbolsOf(const QString& qualifiedClass) const {
    std::vector<uint16_t> ids;
    for (const auto& [id, name] : links_)
        if (id != 0 && name == qualifiedClass && linkedClasses.value(id) == name &&
            std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    return ids;
}

} // namespace nimbrel::movie::avm2
