#pragma once
// A busy animated movie for render benchmarks and cache checks: N objects of
// a dozen kinds (curved shapes with linear and radial gradients, star
// polygons with translucent fills, outlines of several widths, scaled and
// rotated bitmaps), each moved, turned and scaled on every frame by
// PlaceObject matrix changes. The same seed always writes the same movie.
#include <QByteArray>
#include <cstdint>

namespace nimbrel::movie::test {

struct HeavySceneOptions {
    int objects = 160;
    int frames = 120;
    int width = 800; // stage, pixels
    int height = 600;
    double frameRate = 30;
    uint32_t seed = 12;
};

QByteArray buildHeavyScene(const HeavySceneOptions& options);

// What the scene's character `id` draws ("linear blob + 1 px outline", ...);
// empty for an id the scene does not define.
const char* heavySceneKindName(uint16_t id);

} // namespace nimbrel::movie::test
