#pragma once
// The pointer over a movie: finds the button (or the clip with button
// handlers) under it, moves buttons through their up/over/down states, hands
// the matching actions and mouse events to the script engine, and moves the
// clip a script is dragging. Positions are in the root clip's twips.
#include "movie/display/ButtonObject.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Movie.h"
#include <QPointF>
#include <QRectF>
#include <functional>
#include <vector>
#include <memory>
#include <optional>

namespace nimbrel::movie {

class PointerInput {
public:
    void move(display::MovieClip& root, const QPointF& twips);
    // beforePress runs after the clips heard the button go down and before
    // the object under the pointer is pressed (the player moves the focus there).
    void press(display::MovieClip& root, const QPointF& twips, const std::function<void()>& beforePress = {});
    void release(display::MovieClip& root, const QPointF& twips);
    void reset();
    // The roots of the levels drawn over the main movie, topmost first: the
    // pointer finds their objects before the main movie's and their clips hear it too.
    std::function<std::vector<display::MovieClip*>()> levelsAbove;

    // Topmost button, or clip acting as one, whose hit area holds the point.
    static display::DisplayObject* targetAt(display::MovieClip& root, const QPointF& twips);
    // Topmost button whose hit area holds the point, or nullptr.
    static display::ButtonObject* buttonAt(display::MovieClip& root, const QPointF& twips);
    // Innermost clip drawing at the point, leaving out `skip` and what it holds.
    static display::DisplayObject* clipAt(display::MovieClip& root, const QPointF& twips,
                                          const display::DisplayObject* skip);

    // The object under the pointer that reacts to it (button or clip).
    display::DisplayObject* hovered() const { return hovered_.lock().get(); }

    // The dragged clip follows the pointer until stopDrag.
    void startDrag(display::DisplayObject* object, bool lockCenter, const std::optional<QRectF>& bounds,
                   const QPointF& pointer);
    void stopDrag() { dragged_.reset(); }
    display::DisplayObject* dragged() const;
    // Moves the dragged clip to the pointer (also once per frame).
    void updateDrag(const QPointF& pointer);

private:
    // The level roots, topmost first, then the main movie's.
    std::vector<display::MovieClip*> stageRoots(display::MovieClip& root) const;
    static display::DisplayObject* search(display::MovieClip& clip, const QTransform& toStage, const QPointF& twips,
                                          bool buttonsOnly, int depth);
    static display::DisplayObject* searchButton(display::ButtonObject& button, const QTransform& toStage,
                                                const QPointF& twips, bool buttonsOnly, int depth);
    void fire(display::DisplayObject* target, uint16_t condition, swf::ClipEvent event, swf::ButtonState state);

    std::weak_ptr<display::DisplayObject> hovered_;
    std::weak_ptr<display::DisplayObject> pressed_;
    std::weak_ptr<display::DisplayObject> dragged_;
    bool lockCenter_ = false;
    QPointF dragOffset_; // registration point minus pointer, parent twips
    std::optional<QRectF> dragBounds_;
};

} // namespace nimbrel::movie
