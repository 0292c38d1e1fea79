#pragma once
// Turns SWF edge records into drawable paths: for every fill style, closed
// contours with the filled area on a consistent side; for every line style,
// the stroked edges in order.
#include "movie/swf/Shape.h"
#include <vector>

namespace nimbrel::movie::swf {

// `groups` must hold the style arrays (group 0: the initial styles, one more
// for each record with new styles); their fillPaths and linePaths are rebuilt.
void buildShapePaths(const std::vector<ShapeRecord>& records, std::vector<StyleGroup>& groups);

} // namespace nimbrel::movie::swf
