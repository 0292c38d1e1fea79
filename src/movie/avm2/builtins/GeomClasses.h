#pragma once
// flash.geom.Point and Rectangle as the display classes hand them out:
// their coordinates and how they print.
namespace nimbrel::movie::avm2 {
class Runtime;
class GeomClasses {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
