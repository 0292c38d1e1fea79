#pragma once
// An Event (or one of its subclasses) as scripts hold it: what the event
// says and how far its dispatch has come.
#include "movie/avm2/ReferenceVisitor.h"
#include "movie/avm2/ScriptObject.h"

namespace nimbrel::movie::avm2 {

class EventObject : public ScriptObject {
public:
    enum Phase { None = 0, Capturing = 1, AtTarget = 2, Bubbling = 3 };

    QString eventType;
    bool bubbles = false;
    bool cancelable = false;
    bool defaultPrevented = false;
    bool stopped = false;          // stopPropagation: no further object
    bool stoppedAtOnce = false;    // stopImmediatePropagation: no further listener
    int phase = AtTarget; // what a new event reports before it is sent
    Value target, currentTarget;
    // MouseEvent.
    double localX = 0, localY = 0;
    bool buttonDown = false, ctrlKey = false, altKey = false, shiftKey = false;
    int delta = 0;
    Value relatedObject;
    // KeyboardEvent.
    uint32_t charCode = 0, keyCode = 0, keyLocation = 0;

    void visitReferences(ReferenceVisitor& visit) const override {
        ScriptObject::visitReferences(visit);
        visit.value(target);
        visit.value(currentTarget);
        visit.value(relatedObject);
    }
    void dropReferences() override {
        ScriptObject::dropReferences();
        target = currentTarget = relatedObject = Value();
    }
};

} // namespace nimbrel::movie::avm2
