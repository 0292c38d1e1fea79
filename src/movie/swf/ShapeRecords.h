#pragma once
// Readers for the pieces DefineShape, DefineMorphShape and glyph shapes share:
// style arrays and edge records. Each returns false on bad data.
#include "movie/swf/BitReader.h"
#include "movie/swf/Shape.h"
#include <vector>

namespace nimbrel::movie::swf {

// version: 1..4 for DefineShape..DefineShape4 (decides RGB vs RGBA, counts, LINESTYLE2).
bool readFillStyle(BitReader& r, int version, FillStyle& out);
bool readFillStyleArray(BitReader& r, int version, std::vector<FillStyle>& out);
bool readLineStyleArray(BitReader& r, int version, std::vector<LineStyle>& out);

// Reads edge records up to the end record. With `groups`, new style arrays met
// mid-shape are read into a new group appended to it; without, they are an error.
bool readShapeRecords(BitReader& r, int version, int fillBits, int lineBits, std::vector<ShapeRecord>& out,
                      std::vector<StyleGroup>* groups);

} // namespace nimbrel::movie::swf
