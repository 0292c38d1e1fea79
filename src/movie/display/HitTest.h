#pragma once
// Whether a point lies on what a display object draws: shapes by their
// outlines, text and morphs by their bounds, clips by any of their children,
// buttons by the records of their hit state. Points are in twips.
#include <QPointF>
#include <QTransform>

namespace nimbrel::movie::display {

class ButtonObject;
class DisplayObject;

class HitTest {
public:
    // The point (in the object's parent coordinates) lies on the object.
    // onlyVisible (the pointer's view) leaves out hidden objects and masks;
    // otherwise (a script's hitTest) everything drawn or masking counts.
    static bool contains(const DisplayObject& object, const QPointF& inParent, bool onlyVisible);
    // The point (in the button's own coordinates) lies on its hit area.
    static bool hitsButtonArea(const ButtonObject& button, const QPointF& local);
    // The object's coordinates to the stage's (the root's parent space).
    static QTransform toStage(const DisplayObject& object);
    // A stage point in the object's own coordinates; false when it cannot be mapped.
    static bool stageToLocal(const DisplayObject& object, const QPointF& stage, QPointF* local);
};

} // namespace nimbrel::movie::display
