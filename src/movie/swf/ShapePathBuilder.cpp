#include "movie/swf/ShapePathBuilder.h"
#include <unordered_map>

namespace nimbrel::movie::swf {

namespace {

struct Point {
    int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
    uint64_t key() const { return (uint64_t(uint32_t(x)) << 32) | uint32_t(y); }
};

struct Edge {
    Point from, control, to;
    bool curved = false;
    Edge reversed() const { return Edge{to, control, from, curved}; }
};

void appendEdge(QPainterPath& path, const Edge& e) {
    if (e.curved) path.quadTo(e.control.x, e.control.y, e.to.x, e.to.y);
    else path.lineTo(e.to.x, e.to.y);
}

// Joins one fill style's edges end to start into closed contours. The edge
// that follows in file order is preferred, which keeps the common case linear;
// otherwise the latest unused edge starting at the contour's end is taken.
// Each start point keeps its edges in file order and drops used ones from the
// back lazily, so many edges through one point cost no more than a few.
QPainterPath joinFillEdges(const std::vector<Edge>& edges) {
    QPainterPath path;
    if (edges.empty()) return path;
    std::unordered_map<uint64_t, std::vector<size_t>> byStart;
    byStart.reserve(edges.size());
    for (size_t i = 0; i < edges.size(); ++i) byStart[edges[i].from.key()].push_back(i);
    std::vector<bool> used(edges.size(), false);
    auto latestUnusedFrom = [&](const Point& p) -> size_t {
        auto it = byStart.find(p.key());
        if (it == byStart.end()) return SIZE_MAX;
        std::vector<size_t>& starts = it->second;
        while (!starts.empty() && used[starts.back()]) starts.pop_back();
        return starts.empty() ? SIZE_MAX : starts.back();
    };
    for (size_t first = 0; first < edges.size(); ++first) {
        if (used[first]) continue;
        const Point start = edges[first].from;
        path.moveTo(start.x, start.y);
        size_t cur = first;
        for (;;) {
            used[cur] = true;
            appendEdge(path, edges[cur]);
            const Point end = edges[cur].to;
            if (end == start) break;
            size_t next;
            if (cur + 1 < edges.size() && !used[cur + 1] && edges[cur + 1].from == end) next = cur + 1;
            else next = latestUnusedFrom(end);
            if (next == SIZE_MAX) break; // open contour: filling closes it
            cur = next;
        }
        path.closeSubpath();
    }
    return path;
}

struct LineRun {
    std::vector<Edge> edges;
};

// Strokes keep file order; a run ending where it started becomes a closed
// subpath so its corner is joined rather than capped.
QPainterPath strokePath(const std::vector<LineRun>& runs, bool noClose) {
    QPainterPath path;
    for (const LineRun& run : runs) {
        if (run.edges.empty()) continue;
        path.moveTo(run.edges.front().from.x, run.edges.front().from.y);
        for (const Edge& e : run.edges) appendEdge(path, e);
        if (!noClose && run.edges.size() > 1 && run.edges.back().to == run.edges.front().from) path.closeSubpath();
    }
    return path;
}

} // namespace

void buildShapePaths(const std::vector<ShapeRecord>& records, std::vector<StyleGroup>& groups) {
    if (groups.empty()) groups.emplace_back();
    struct GroupEdges {
        std::vector<std::vector<Edge>> fills;
        std::vector<std::vector<LineRun>> lines;
    };
    std::vector<GroupEdges> edges(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        edges[g].fills.resize(groups[g].fills.size());
        edges[g].lines.resize(groups[g].lines.size());
    }

    size_t group = 0;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    Point pos;
    bool lineRunOpen = false; // the current line style's last run continues at pos

    for (const ShapeRecord& rec : records) {
        if (rec.kind == ShapeRecord::Kind::StyleChange) {
            if (rec.newStyles && group + 1 < groups.size()) {
                ++group;
                fill0 = fill1 = line = 0;
                lineRunOpen = false;
            }
            if (rec.hasMove) {
                pos = Point{rec.moveX, rec.moveY};
                lineRunOpen = false;
            }
            if (rec.hasFill0) fill0 = rec.fill0;
            if (rec.hasFill1) fill1 = rec.fill1;
            if (rec.hasLine) {
                if (rec.line != line) lineRunOpen = false;
                line = rec.line;
            }
            continue;
        }
        Edge e;
        e.from = pos;
        if (rec.kind == ShapeRecord::Kind::Curved) {
            e.curved = true;
            e.control = Point{pos.x + rec.cdx, pos.y + rec.cdy};
            e.to = Point{e.control.x + rec.dx, e.control.y + rec.dy};
        } else {
            e.to = Point{pos.x + rec.dx, pos.y + rec.dy};
        }
        pos = e.to;
        GroupEdges& ge = edges[group];
        // fill1 lies to the right of the edge's direction, fill0 to the left:
        // reversing fill0 edges gives every contour of a style the same orientation.
        // An edge with the same fill on both sides is inside the fill: skip it.
        if (fill0 != fill1) {
            if (fill1 && fill1 <= ge.fills.size()) ge.fills[fill1 - 1].push_back(e);
            if (fill0 && fill0 <= ge.fills.size()) ge.fills[fill0 - 1].push_back(e.reversed());
        }
        if (line && line <= ge.lines.size()) {
            auto& runs = ge.lines[line - 1];
            if (!lineRunOpen || runs.empty() || !(runs.back().edges.back().to == e.from)) runs.emplace_back();
            runs.back().edges.push_back(e);
            lineRunOpen = true;
        }
    }

    for (size_t g = 0; g < groups.size(); ++g) {
        StyleGroup& sg = groups[g];
        sg.fillPaths.assign(sg.fills.size(), QPainterPath());
        sg.linePaths.assign(sg.lines.size(), QPainterPath());
        for (size_t i = 0; i < sg.fills.size(); ++i) sg.fillPaths[i] = joinFillEdges(edges[g].fills[i]);
        for (size_t i = 0; i < sg.lines.size(); ++i) sg.linePaths[i] = strokePath(edges[g].lines[i], sg.lines[i].noClose);
    }
}

} // namespace nimbrel::movie::swf
