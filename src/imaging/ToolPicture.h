#pragma once
// The tool palette's picture: two columns of 25-pixel cells, rows eraser and
// line, rectangle and circle, pencil and brush, then a fill bucket and a
// magnifier that have no tool behind them.
#include <QImage>

namespace nimbrel::imaging {

class ToolPicture {
public:
    static constexpr int Cell = 25;  // 375 twips
    static QImage draw();
};

} // namespace nimbrel::imaging
