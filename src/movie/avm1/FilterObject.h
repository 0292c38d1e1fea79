#pragma once
// An instance of one of the flash.filters classes: its properties, already
// clamped the way the player clamps them, and the filter it stands for on the
// display list.
#include "movie/avm1/Object.h"
#include "movie/swf/Filter.h"
#include <QHash>
#include <optional>
#include <vector>

namespace nimbrel::movie::avm1 {

class FilterObject : public Object {
public:
    enum class Kind { Blur, DropShadow, Glow, Bevel, GradientGlow, GradientBevel, ColorMatrix, Convolution, DisplacementMap };

    FilterObject(Interpreter& vm, Object* proto, Kind kind) : Object(vm, proto), kind(kind) {}

    Kind kind;
    QHash<QString, Value> values;                     // plain properties
    QHash<QString, std::vector<double>> lists;        // colors, alphas, ratios, matrix

    double number(const QString& name) const { return values.value(name).n; }
    bool flag(const QString& name) const { return values.value(name).b; }
    // The display list's form; none for filters it cannot draw (displacement maps).
    std::optional<swf::Filter> toSwf() const;
    // Properties from a filter placed by the timeline.
    static Kind kindOf(swf::FilterType type);
    void setFromSwf(const swf::Filter& f);

    void markChildren(std::vector<Object*>& out) const override;
};

} // namespace nimbrel::movie::avm1
