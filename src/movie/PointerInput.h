#pragma once
// The pointer over a movie: finds the button under it, moves buttons through
// their up/over/down states and hands the matching actions and mouse clip
// events to the script engine. Positions are in the root clip's twips.
#include "movie/display/ButtonObject.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Movie.h"
#include <QPointF>
#include <memory>

namespace nimbrel::movie {

class PointerInput {
public:
    void move(display::MovieClip& root, const QPointF& twips);
    void press(display::MovieClip& root, const QPointF& twips);
    void release(display::MovieClip& root, const QPointF& twips);
    void reset();
    // Topmost button whose hit area holds the point, or nullptr.
    static display::ButtonObject* buttonAt(display::MovieClip& root, const QPointF& twips);

private:
    static display::ButtonObject* search(const std::map<int, std::shared_ptr<display::DisplayObject>>& children,
                                         const QTransform& toLocal, const QPointF& twips);
    static bool hits(const display::ButtonObject& button, const QPointF& local);
    void broadcast(display::MovieClip& root, swf::ClipEvent event);

    std::weak_ptr<display::DisplayObject> hovered_;
    std::weak_ptr<display::DisplayObject> pressed_;
};

} // namespace nimbrel::movie
