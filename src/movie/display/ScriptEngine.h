#pragma once
// The seam between the timeline and an ActionScript interpreter. The timeline
// hands code over at the moments the player would run it; how it runs is the
// interpreter's business. The base class ignores everything, which is exactly
// what a player without scripts needs (NullScriptEngine is that class).
//
// Order within one frame tick of the player:
//   1. frameStarted()                      once
//   2. clipEvent(obj, ClipEventEnterFrame) for every clip already on stage
//   3. timelines advance, parents before children: display-list changes of the
//      frame, objectCreated/objectRemoved/clipEvent(Load|Unload) as they happen,
//      initActions before the first frame that holds them, frameActions after
//      the frame's display-list changes
//   4. runQueuedActions()                  once, after the whole tree advanced
// A goto (from the player or from a script) replays display-list changes
// without running the skipped frames' actions; the target frame's actions are
// handed over as frameActions.
#include "movie/display/FocusTraits.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/ClipEvent.h"
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace nimbrel::movie::display {

class DisplayObject;
class MovieClip;
class ButtonObject;
class ScriptHost;

class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;

    // A movie has been loaded: root is its main timeline (root->movie() the
    // parsed file, shared); host receives traces, fscommands and URL requests.
    virtual void attach(MovieClip* root, ScriptHost* host) {}
    // Called before the root and its tree are destroyed.
    virtual void detach() {}

    virtual void frameStarted() {}
    // DoAction bytes of the frame just entered by clip, in tag order. Expected
    // to be queued and run by runQueuedActions().
    virtual void frameActions(MovieClip* clip, const QByteArray& actions) {}
    // The clip entered a frame (played into it or went to it), handed over
    // where that frame's actions are; for machines whose frame code is
    // registered by scripts rather than carried by the frame.
    virtual void frameEntered(MovieClip* clip, int frame) {}
    // DoInitAction for the sprite character spriteId; handed over once per
    // movie, before the frame that holds the tag runs its own actions.
    virtual void initActions(MovieClip* root, uint16_t spriteId, const QByteArray& actions) {}
    // Action bytes of a button condition that fired (press, release, roll...).
    virtual void buttonActions(ButtonObject* button, const QByteArray& actions) {}
    // A clip event reached object; object->clipActions() holds the handlers
    // placed with it (scripts may have set their own handlers too).
    virtual void clipEvent(DisplayObject* object, swf::ClipEvent event, int keyCode = 0) {}

    // Display objects come and go; scripts holding references follow them.
    virtual void objectCreated(DisplayObject* object) {}
    virtual void objectRenamed(DisplayObject* object, const QString& oldName) {}
    virtual void objectRemoved(DisplayObject* object) {}

    virtual void runQueuedActions() {}
    // Something the file asked for could not be done (a debugging player shows it with the traces).
    virtual void warning(const QString& message) {}

    // The file's ScriptLimits: recursion depth and script timeout (after attach).
    virtual void setScriptLimits(int maxRecursion, int timeoutSeconds) {}
    // One frame advance or one input event: every script run between begin
    // and end shares one time budget. Runs nest; the outermost counts.
    virtual void beginScriptRun() {}
    virtual void endScriptRun() {}
    // Ends the scripts running now at their next check (the host is about to
    // replace or drop the movie); later runs go on as usual.
    virtual void cancelRunningScripts() {}
    // The run that just ended was cut short (time ran out, or cancelled).
    virtual bool lastRunCut() const { return false; }
    // Set once the movie's scripts were stopped for good.
    virtual ScriptStop scriptsStopped() const { return ScriptStop::None; }
    // A mouse or key event of the whole movie for the scripts' own listeners
    // (Mouse and Key listener lists), after the clips had their clip events.
    virtual void broadcastInput(swf::ClipEvent event) {}
    // The scripts listen to keys: a Key listener, or key handlers of the
    // focused object (may be null).
    virtual bool hearsKeys(DisplayObject* focused) { return false; }
    // A clip with press, release or roll handlers takes the pointer as a
    // button does; enabled tells whether it currently reacts.
    virtual bool actsAsButton(DisplayObject* object) { return false; }
    virtual bool isEnabled(DisplayObject* object) { return true; }
    // The clip or button shows the hand over it (useHandCursor).
    virtual bool usesHandCursor(DisplayObject* object) { return true; }
    // Keyboard focus: what scripts set on the object for the Tab order, and
    // the news that focus moved (either side may be null).
    virtual FocusTraits focusTraits(DisplayObject* object) { return {}; }
    virtual void focusChanged(DisplayObject* lost, DisplayObject* gained) {}
    // The user changed a text field's text (typing, deleting, pasting).
    virtual void textEdited(DisplayObject* field) {}
    // The user is about to type text into a field: false keeps it out.
    virtual bool textTyped(DisplayObject* field, const QString& text) { return true; }
};

using NullScriptEngine = ScriptEngine;

} // namespace nimbrel::movie::display
