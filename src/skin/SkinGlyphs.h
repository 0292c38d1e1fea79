#pragma once
#include <QColor>
#include <QRectF>

class QPainter;

namespace nimbrel::skin {

// The icons of the skin, drawn as anti-aliased vector shapes into a box. Each
// glyph is centred in the box and scaled to its smaller side.
class SkinGlyphs {
public:
    enum class Glyph {
        Play,
        Pause,
        Stop,
        PreviousMovie,
        NextMovie,
        PreviousFrame,
        NextFrame,
        Minimise,
        Maximise,
        Close,
        ListMenu,
    };

    static void draw(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour);
};

} // namespace nimbrel::skin
