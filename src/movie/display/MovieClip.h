#pragma once
// A timeline with its own display list: the main movie and every placed
// DefineSprite. Playing forward applies each frame's tags; a goto rebuilds
// exactly the display list that playing to the target would have produced.
#include "movie/display/DisplayObject.h"
#include "movie/swf/Timeline.h"
#include <QByteArray>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace nimbrel::movie::swf {
struct Movie;
}

namespace nimbrel::movie::display {

class DrawingCanvas;

class MovieClip : public DisplayObject {
public:
    using ChildMap = std::map<int, std::shared_ptr<DisplayObject>>;

    // timeline may be null for an empty clip made by a script.
    MovieClip(MovieContext* context, uint16_t characterId, const swf::Timeline* timeline);
    ~MovieClip() override;

    const swf::Timeline* timeline() const { return timeline_; }
    int currentFrame() const { return current_ < 0 ? 0 : current_; } // 0-based
    int totalFrames() const;
    bool isPlaying() const { return playing_; }
    void play() { playing_ = true; }
    void stop() { playing_ = false; }
    // Clamped to the timeline; hands the target frame's actions to the script engine.
    void gotoFrame(int frame, bool andPlay);
    bool gotoLabel(const QString& label, bool andPlay);
    void nextFrame() { gotoFrame(currentFrame() + 1, false); }
    void prevFrame() { gotoFrame(currentFrame() - 1, false); }

    const ChildMap& children() const { return children_; }
    DisplayObject* childAt(int depth) const;
    DisplayObject* childByName(const QString& name) const; // letter case ignored

    // Display-list editing by scripts; depths as stored (scripts add 16384).
    MovieClip* createEmptyMovieClip(const QString& name, int depth);
    DisplayObject* attachMovie(const QString& exportName, const QString& newName, int depth);
    // A copy of this clip beside it in the parent.
    DisplayObject* duplicate(const QString& newName, int depth);
    bool removeChildAt(int depth);
    // Places an object a script made (a text field) at depth, replacing what is there.
    DisplayObject* addScriptObject(std::shared_ptr<DisplayObject> object, const QString& name, int depth);
    // A movie loaded into this clip: a new clip playing it takes this one's
    // place, name and placement. Returns the new clip, null when it cannot be made.
    MovieClip* replaceWithMovie(std::shared_ptr<const swf::Movie> movie);
    // The clip shows nothing more (unloadMovie): children go, the timeline empties.
    void unloadContents();
    // Display-list editing by index (the order of depths), for scripts that
    // move objects between parents: taking one out neither unloads it nor
    // tells the script engine; putting one in places it after the object
    // now at index (at the end past the last), shifting later depths up
    // only when no free depth lies between.
    std::shared_ptr<DisplayObject> takeChild(DisplayObject* child);
    void insertChild(std::shared_ptr<DisplayObject> child, int index);
    // Moves child from one depth to another, swapping with what is there.
    bool swapChildDepths(int fromDepth, int toDepth);

    // Shows the first frame of a clip just placed (display list only; its
    // actions wait for flushActions so that parents' scripts run first).
    void start();
    // One frame tick of this clip and everything below it.
    void tick();
    // EnterFrame clip events for this clip and the clips below it.
    void dispatchEnterFrame() { dispatchEvent(swf::ClipEventEnterFrame); }
    // A clip event for this clip and every clip below it, parents first.
    void dispatchEvent(swf::ClipEvent event);
    // This clip and the clips below it in the order mouse and key events reach
    // them: topmost first, children before their parent.
    std::vector<std::shared_ptr<MovieClip>> clipsTopmostFirst();
    // Hands pending init and frame actions to the script engine: this clip's
    // first, then those of clips created along with it.
    void flushActions();

    // How the mixer knows this clip's sounds.
    const void* soundOwner() const { return static_cast<const DisplayObject*>(this); }

    QRectF localBounds() const override;
    void removed() override;

    // What the clip's drawing methods drew, beneath its children; null until a script draws.
    std::shared_ptr<DrawingCanvas> drawing;

private:
    struct Slot;
    // removedAlready: depths whose RemoveObject of this frame was applied before entering it.
    void runFrame(int frame, const std::vector<int>& removedAlready = {});
    std::vector<int> leavingDepths(int frame) const;
    void rebuildTo(int frame);
    void rebuildDisplayTo(int frame);
    void playSoundTag(const swf::ControlTag& tag);
    void collectActions(int frame, bool frameActions);
    void applyTag(const swf::ControlTag& tag);
    void placeFromTimeline(const swf::PlaceObject& po);
    std::shared_ptr<DisplayObject> create(uint16_t characterId, int depth, const swf::PlaceObject* po,
                                          int placedFrame = -1);
    void removeDepth(int depth);

    const swf::Timeline* timeline_;
    int current_ = -1;
    bool playing_ = true;
    uint64_t bornTick_;
    ChildMap children_;
    std::vector<std::pair<uint16_t, QByteArray>> pendingInit_;
    std::vector<QByteArray> pendingActions_;
    bool frameEntered_ = false; // a frame was entered since the engine last heard
    std::vector<std::weak_ptr<DisplayObject>> newborn_;
};

} // namespace nimbrel::movie::display
