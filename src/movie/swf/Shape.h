#pragma once
// Parsed vector characters: DefineShape 1-4 and DefineMorphShape 1-2.
// Coordinates are twips. Fill and line paths are built once when the shape is
// parsed so drawing a frame never rebuilds them.
#include "movie/swf/Types.h"
#include <QPainterPath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel::movie::swf {

struct GradientRecord {
    uint8_t ratio = 0; // 0..255 along the gradient
    Rgba color;
    bool operator==(const GradientRecord&) const = default;
};

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : uint8_t { Normal = 0, LinearRgb = 1 };

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<GradientRecord> records;
    double focalPoint = 0; // -1..1, focal gradients only
};

enum class FillType : uint8_t { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;           // solid fills
    Matrix matrix;        // gradient square (-16384..16384) or bitmap pixels to shape twips
    Gradient gradient;    // gradient fills
    uint16_t bitmapId = 0xFFFF;
    bool clipped = false; // bitmap fills: clipped (edge pixels extend) or repeating
    bool smoothed = true; // bitmap fills: bilinear filtering
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    uint16_t width = 0; // twips; 0 is a hairline
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
    bool noHScale = false; // width not scaled by the object's horizontal scale
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    bool hasFill = false; // stroke painted with `fill` instead of `color`
    FillStyle fill;
};

// One edge-list record as stored in the file; kept for morph shapes, which are
// rebuilt at each ratio.
struct ShapeRecord {
    enum class Kind : uint8_t { StyleChange, Straight, Curved };
    Kind kind = Kind::StyleChange;
    // StyleChange
    bool hasMove = false, hasFill0 = false, hasFill1 = false, hasLine = false, newStyles = false;
    int32_t moveX = 0, moveY = 0;           // absolute
    uint32_t fill0 = 0, fill1 = 0, line = 0; // 1-based, 0 = none
    // Straight: (dx, dy). Curved: control (cdx, cdy) then anchor (dx, dy), both relative.
    int32_t cdx = 0, cdy = 0, dx = 0, dy = 0;
};

// Styles declared together. A StyleChangeRecord with new styles (DefineShape2+)
// starts a new group; groups draw in order, each its fills then its strokes.
struct StyleGroup {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<QPainterPath> fillPaths; // [i] closed contours filled with fills[i]
    std::vector<QPainterPath> linePaths; // [i] open paths stroked with lines[i]
    // Owned by the renderer: brushes and pens built for the last colour transform.
    struct PaintCache;
    mutable std::shared_ptr<PaintCache> paintCache;
};

struct ShapeDef {
    uint16_t id = 0;
    int version = 1; // 1..4 (DefineShape, DefineShape2, 3, 4)
    Rect bounds;     // including strokes
    Rect edgeBounds; // edges only (DefineShape4; equals bounds otherwise)
    bool nonZeroWinding = false;
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    std::vector<StyleGroup> groups;
    // Filled in by the renderer on first use (outline for hit tests).
    mutable std::shared_ptr<const QPainterPath> outlineCache;
};

struct MorphFillStyle {
    FillStyle start, end;
};
struct MorphLineStyle {
    LineStyle start, end;
};

struct MorphShapeDef {
    uint16_t id = 0;
    int version = 1; // 1 or 2
    Rect startBounds, endBounds;
    Rect startEdgeBounds, endEdgeBounds;
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    std::vector<MorphFillStyle> fills;
    std::vector<MorphLineStyle> lines;
    // Edge lists paired record by record (the end list carries no styles);
    // straight edges meeting curves are already turned into curves.
    std::vector<ShapeRecord> startRecords;
    std::vector<ShapeRecord> endRecords;
    // Owned by the renderer: the paths built for the last ratio drawn.
    struct FrameCache;
    mutable std::shared_ptr<FrameCache> frameCache;
};

} // namespace nimbrel::movie::swf
