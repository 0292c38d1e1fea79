#pragma once
// Where the second virtual machine meets the display list: one script object
// per display object (made when first reached, of the class the movie links
// to its symbol or of the built-in class for its kind), the Stage above the
// main timeline, event dispatch through capture, target and bubble phases,
// and the display-list edits scripts make with their added/removed events.
#include "movie/avm2/EventTargetObject.h"
#include "movie/avm2/EventObject.h"
#include <QHash>
#include <QPointF>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace nimbrel::movie::display {
class DisplayObject;
class MovieClip;
class ScriptHost;
}

namespace nimbrel::movie::avm2 {

class Runtime;

class StageBridge {
public:
    StageBridge(Runtime& rt, display::MovieClip* root, display::ScriptHost* host);

    Runtime& rt;
    display::MovieClip* root() const { return root_; }
    display::ScriptHost* host() const { return host_; }
    EventTargetObject* stage() const { return stage_.get(); }
    Value stageValue() const { return Value::object(stage_); }

    // Stage.invalidate was called: render listeners hear it at the end of the frame.
    bool renderRequested = false;
    // A script moved a playhead: the frame it reached gets its own frameConstructed and exitFrame.
    bool gotoRan = false;
    // Constructs and announces what the timeline placed so far (a script-made
    // symbol's first frame is built before its constructor goes on).
    std::function<void()> constructPlaced;
    // Timers that run (kept alive while they do) and the movie time they tick on.
    std::vector<ObjectPtr> runningTimers;
    // SoundChannels whose voice plays (kept alive until they complete or stop).
    std::vector<ObjectPtr> playingChannels;
    // setTimeout / setInterval calls waiting for their time.
    struct Delayed {
        uint32_t id = 0;
        double due = 0, interval = 0;
        bool repeats = false;
        Value fn;
        std::vector<Value> args;
    };
    std::vector<Delayed> delayedCalls;
    uint32_t nextDelayedId = 1;
    double timeMs = 0;
    // "instance1", "instance2"...: the names of display objects nobody named.
    QString nextInstanceName() { return QStringLiteral("instance%1").arg(++instanceCount_); }
    // Loads the movie's scripts started, made on first use.
    std::shared_ptr<class LoadRequests> loads;
    // SymbolClass links of the movie: character id -> class name (read it; add through link()).
    QHash<uint16_t, QString> linkedClasses;
    void link(uint16_t characterId, const QString& className);
    // The library symbols linked to a class (by qualified name), in the order
    // the movie linked them: a class linked twice answers the same every run.
    std::vector<uint16_t> symbolsOf(const QString& qualifiedClass) const;

    // The script object of a display object, made (not constructed) on first use.
    std::shared_ptr<EventTargetObject> wrap(display::DisplayObject* object);
    Value valueOf(display::DisplayObject* object);
    // Makes obj stand for object (a document class instance over the main timeline).
    void bind(const std::shared_ptr<EventTargetObject>& obj, std::shared_ptr<display::DisplayObject> object);
    // The script object is gone from the display list (the object may live on in scripts).
    void forget(display::DisplayObject* object);
    static display::DisplayObject* displayOf(const Value& v);
    // Objects whose class the movie links, waiting for their constructor.
    std::vector<std::pair<std::weak_ptr<display::DisplayObject>, std::shared_ptr<EventTargetObject>>> unconstructed;

    // A new Event of class cls ("flash.events.Event" ...).
    std::shared_ptr<EventObject> newEvent(const QString& cls, const QString& type, bool bubbles = false,
                                          bool cancelable = false);
    // Runs the event through the capture, target and bubble phases; false when a listener prevented its default.
    bool dispatch(EventTargetObject& target, EventObject& event);
    // Events every listener of the type hears wherever its object is (enterFrame and the frame events).
    static bool isBroadcast(const QString& type);
    void noteBroadcastListener(EventTargetObject& target);
    void broadcast(const QString& type);

    // Display-list edits as scripts make them, with their events; the index is
    // checked by the caller.
    void addChildAt(display::MovieClip& parent, const std::shared_ptr<display::DisplayObject>& child, int index);
    void removeChild(display::MovieClip& parent, display::DisplayObject& child);
    // Tells the object and what it holds that they joined (or are leaving) the display list.
    // subtree: what the object holds hears addedToStage too (not when each of those announces itself).
    void announceAdded(display::DisplayObject& child, bool subtree = true);
    void announceRemoved(display::DisplayObject& child);
    bool onStage(const display::DisplayObject& object) const;
    // The timeline took the object away (top: itself, not something it held,
    // which hears of it first): removed, and removedFromStage if it was on the stage.
    void timelineRemoved(display::DisplayObject& object, bool top);

    // Pointer events for the object under the pointer (the innermost clip at the pointer below target).
    void mouseEvent(display::DisplayObject* target, const QString& type);
    void keyEvent(const QString& type, uint32_t keyCode, uint32_t charCode);

private:
    void dispatchTo(EventTargetObject& object, EventObject& event);
    void eachOnStage(display::DisplayObject& object, const QString& type);

    display::MovieClip* root_;
    display::ScriptHost* host_;
    std::shared_ptr<EventTargetObject> stage_;
    std::unordered_map<display::DisplayObject*, std::shared_ptr<EventTargetObject>> wrappers_;
    std::vector<std::pair<uint16_t, QString>> links_; // in link order
    std::vector<std::weak_ptr<EventTargetObject>> broadcastListeners_;
    int instanceCount_ = 0;
};

} // namespace nimbrel::movie::avm2
