#pragma once
// Where the stage lands in a viewport: the fitting modes of the player and
// its zoom. Pure functions, so they are easy to check.
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace nimbrel::movie::render {

enum class ScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2 };

class StageLayout {
public:
    // Maps stage twips inside `view` onto a viewport of the given size (pixels).
    // ShowAll keeps proportions and letterboxes, NoBorder keeps proportions and
    // crops, ExactFit stretches each axis on its own.
    static QTransform transform(const QRectF& view, const QSizeF& viewport, ScaleMode mode);
    // The view after a zoom command: percent < 100 zooms in, > 100 out, around
    // the view's centre; 0 shows the whole stage again.
    static QRectF zoom(const QRectF& view, const QRectF& stage, int percent);
};

} // namespace nimbrel::movie::render
