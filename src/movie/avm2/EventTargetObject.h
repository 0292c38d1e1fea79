#pragma once
// An EventDispatcher as scripts hold it: its listeners and, for display
// objects, the display-list object it stands for (one per display object,
// kept by the player's bridge while the object is on a display list).
#include "movie/avm2/ScriptObject.h"
#include <map>
#include <memory>

namespace nimbrel::movie::display {
class DisplayObject;
}

namespace nimbrel::movie::avm2 {

class EventTargetObject : public ScriptObject {
public:
    struct Listener {
        QString type;
        Value fn;                          // held strongly, or
        std::weak_ptr<ScriptObject> weakFn; // only weakly (useWeakReference)
        bool useCapture = false;
        int priority = 0;
        uint64_t order = 0; // ties in priority go in order of adding
    };

    // Adding the same function for the same type and phase again changes nothing.
    void addListener(const QString& type, const Value& fn, bool useCapture, int priority, bool weak);
    void removeListener(const QString& type, const Value& fn, bool useCapture);
    bool hasListener(const QString& type) const;
    // What events sent through this object name as target and currentTarget:
    // itself, or the object given to new EventDispatcher(target).
    Value eventFace();
    static inline const QString kAggregateKey = QStringLiteral(" aggregate");
    // The functions to call for type in one phase, highest priority first, alive ones only.
    std::vector<Value> listenersFor(const QString& type, bool capture) const;

    std::vector<Listener> listeners;
    // The display object this stands for (null: a plain dispatcher, or a
    // display class constructed where no player runs). Holding it keeps an
    // object a script took off the display list.
    std::shared_ptr<display::DisplayObject> displayObject;
    // addFrameScript: frame (0-based) -> function.
    std::map<int, Value> frameScripts;
    Value graphics; // the object's Graphics, made on first use
    // Settings scripts make that the player keeps but does not act on yet (tabIndex, buttonMode...).
    QHash<QString, Value> stored;
    // The object a script-made Sprite or Shape constructed for itself is a plain clip:
    // this says which of the display classes scripts see it as.
    bool isShape = false;

    void visitReferences(ReferenceVisitor& visit) const override;
    void dropReferences() override;

private:
    uint64_t nextOrder_ = 0;
};

} // namespace nimbrel::movie::avm2
