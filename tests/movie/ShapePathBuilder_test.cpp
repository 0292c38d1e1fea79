#include "movie/support/RepeatedPointShape.h"
#include "movie/swf/ShapeParser.h"
#include "movie/swf/ShapePathBuilder.h"
#include <QElapsedTimer>
#include <QPainterPath>
#include <gtest/gtest.h>
#include <random>

using namespace nimbrel::movie;

namespace {

struct RefPoint {
    int32_t x = 0, y = 0;
    bool operator==(const RefPoint&) const = default;
};

struct RefEdge {
    RefPoint from, control, to;
    bool curved = false;
};

// The edges of fill style `style` (1-based) of a single style group, each
// turned so the fill lies on its right.
std::vector<RefEdge> edgesOfFill(const std::vector<swf::ShapeRecord>& records, uint32_t style) {
    std::vector<RefEdge> out;
    RefPoint pos;
    uint32_t fill0 = 0, fill1 = 0;
    for (const swf::ShapeRecord& r : records) {
        if (r.kind == swf::ShapeRecord::Kind::StyleChange) {
            if (r.hasMove) pos = {r.moveX, r.moveY};
            if (r.hasFill0) fill0 = r.fill0;
            if (r.hasFill1) fill1 = r.fill1;
            continue;
        }
        RefEdge e{pos, {}, {}, r.kind == swf::ShapeRecord::Kind::Curved};
        if (e.curved) {
            e.control = {pos.x + r.cdx, pos.y + r.cdy};
            e.to = {e.control.x + r.dx, e.control.y + r.dy};
        } else {
            e.to = {pos.x + r.dx, pos.y + r.dy};
        }
        pos = e.to;
        if (fill0 == fill1) continue;
        if (fill1 == style) out.push_back(e);
        if (fill0 == style) out.push_back(RefEdge{e.to, e.control, e.from, e.curved});
    }
    return out;
}

// The joining rule written out plainly, quadratic: each contour starts at the
// first unused edge and continues with the next edge in file order when that
// one starts where the contour ends, else with the last unused edge in file
// order that starts there; it ends back at its start or where nothing continues.
QPainterPath referenceJoin(const std::vector<RefEdge>& edges) {
    QPainterPath path;
    std::vector<bool> used(edges.size(), false);
    for (size_t first = 0; first < edges.size(); ++first) {
        if (used[first]) continue;
        const RefPoint start = edges[first].from;
        path.moveTo(start.x, start.y);
        size_t cur = first;
        for (;;) {
            used[cur] = true;
            const RefEdge& e = edges[cur];
            if (e.curved) path.quadTo(e.control.x, e.control.y, e.to.x, e.to.y);
            else path.lineTo(e.to.x, e.to.y);
            if (e.to == start) break;
            size_t next = SIZE_MAX;
            if (cur + 1 < edges.size() && !used[cur + 1] && edges[cur + 1].from == e.to) {
                next = cur + 1;
            } else {
                for (size_t k = edges.size(); k-- > 0;)
                    if (!used[k] && edges[k].from == e.to) {
                        next = k;
                        break;
                    }
            }
            if (next == SIZE_MAX) break;
            cur = next;
        }
        path.closeSubpath();
    }
    return path;
}

::testing::AssertionResult samePath(const QPainterPath& got, const QPainterPath& want) {
    if (got.elementCount() != want.elementCount())
        return ::testing::AssertionFailure() << got.elementCount() << " elements, want " << want.elementCount();
    for (int i = 0; i < got.elementCount(); ++i) {
        const QPainterPath::Element a = got.elementAt(i), b = want.elementAt(i);
        if (a.type != b.type || a.x != b.x || a.y != b.y)
            return ::testing::AssertionFailure() << "element " << i << " is (" << a.type << ' ' << a.x << ',' << a.y
                                                 << "), want (" << b.type << ' ' << b.x << ',' << b.y << ')';
    }
    return ::testing::AssertionSuccess();
}

// Random edges between the nine points of a small grid, so contours cross,
// branch and share points the way traced artwork does.
std::vector<swf::ShapeRecord> randomRecords(std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    auto gridPoint = [&] { return RefPoint{pick(3) * 100, pick(3) * 100}; };
    std::vector<swf::ShapeRecord> records;
    RefPoint pos;
    const int count = 1 + pick(40);
    for (int i = 0; i < count; ++i) {
        swf::ShapeRecord r;
        const int what = pick(10);
        if (what == 0 || i == 0) {
            r.kind = swf::ShapeRecord::Kind::StyleChange;
            r.hasMove = pick(2) == 0 || i == 0;
            if (r.hasMove) {
                pos = gridPoint();
                r.moveX = pos.x;
                r.moveY = pos.y;
            }
            r.hasFill0 = true;
            r.fill0 = uint32_t(pick(3));
            r.hasFill1 = true;
            r.fill1 = uint32_t(pick(3));
        } else {
            const RefPoint to = gridPoint();
            if (what == 1) {
                r.kind = swf::ShapeRecord::Kind::Curved;
                r.cdx = pick(50) - 25;
                r.cdy = pick(50) - 25;
                r.dx = to.x - pos.x - r.cdx;
                r.dy = to.y - pos.y - r.cdy;
            } else {
                r.kind = swf::ShapeRecord::Kind::Straight;
                r.dx = to.x - pos.x;
                r.dy = to.y - pos.y;
            }
            pos = to;
        }
        records.push_back(r);
    }
    return records;
}

std::vector<swf::StyleGroup> twoFills() {
    std::vector<swf::StyleGroup> groups(1);
    groups[0].fills.resize(2);
    return groups;
}

} // namespace

TEST(ShapePathBuilder, JoinsContoursAsThePlainRuleDoes) {
    std::mt19937 rng(20240917u);
    for (int c = 0; c < 400; ++c) {
        SCOPED_TRACE(c);
        const auto records = randomRecords(rng);
        auto groups = twoFills();
        swf::buildShapePaths(records, groups);
        ASSERT_EQ(groups[0].fillPaths.size(), 2u);
        for (uint32_t style = 1; style <= 2; ++style)
            ASSERT_TRUE(samePath(groups[0].fillPaths[style - 1], referenceJoin(edgesOfFill(records, style))))
                << "fill " << style;
    }
}

TEST(ShapePathBuilder, ManyEdgesThroughThreePointsJoinLikeThePlainRule) {
    // The benchmark's triangle, drawn 1000 times with its fill on the left.
    std::vector<swf::ShapeRecord> records(1);
    records[0].hasMove = records[0].hasFill0 = true;
    records[0].fill0 = 1;
    const int32_t steps[3][2] = {{2000, 0}, {-1000, 2000}, {-1000, -2000}};
    for (int i = 0; i < 3000; ++i) {
        swf::ShapeRecord r;
        r.kind = swf::ShapeRecord::Kind::Straight;
        r.dx = steps[i % 3][0];
        r.dy = steps[i % 3][1];
        records.push_back(r);
    }
    auto groups = twoFills();
    swf::buildShapePaths(records, groups);
    EXPECT_TRUE(samePath(groups[0].fillPaths[0], referenceJoin(edgesOfFill(records, 1))));
}

// Catches a return of the quadratic join: the figure that matters (well
// under 100 ms) is checked by bench_shape_load.
TEST(ShapePathBuilder, EightyThousandEdgesThroughThreePointsLoadQuickly) {
    const auto body = nimbrel::movie::test::repeatedPointShapeBody(1, 80000);
    QElapsedTimer timer;
    timer.start();
    QString error;
    auto shape = swf::parseShape(2, body.data(), body.size(), &error);
    const qint64 ms = timer.elapsed();
    ASSERT_TRUE(shape) << error.toStdString();
    EXPECT_LT(ms, 1000);
    // Every edge is drawn once: 26666 whole triangles, and the two edges left
    // over (which meet nothing) each as an open contour closed by one more line.
    const QPainterPath& path = shape->groups[0].fillPaths[0];
    int moves = 0, lines = 0;
    for (int i = 0; i < path.elementCount(); ++i) (path.elementAt(i).isMoveTo() ? moves : lines)++;
    EXPECT_EQ(moves, 26666 + 2);
    EXPECT_EQ(lines, 80000 + 2);
    EXPECT_EQ(path.boundingRect(), QRectF(0, 0, 2000, 2000));
}
