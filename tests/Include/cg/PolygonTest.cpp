#include "Include/cg/Polygon.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Point = cg::point<float, 2>;
using Region = cg::region<Point>;

struct Case {
    Point p;
    bool inside;
};

// The unit square in both orientations and from every starting vertex gives the same answers.
std::vector<Region> UnitSquares() {
    std::vector<Region> squares;
    Region ccw{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t start = 0; start < ccw.size(); ++start) {
            squares.push_back(ccw);
            std::rotate(ccw.begin(), ccw.begin() + 1, ccw.end());
        }
        std::reverse(ccw.begin(), ccw.end());
    }
    return squares;
}

TEST(InsidePolygon, UnitSquareInsideOutsideAndNearVertices) {
    const Case cases[] = {
        {{0.5f, 0.5f}, true},      {{1.5f, 0.5f}, false},    {{-0.5f, 0.5f}, false},
        {{0.5f, 1.001f}, false},   {{0.5f, 0.999f}, true},   {{0.00005f, 0.00005f}, true},
        {{-0.00005f, 0.0f}, true}, {{1.00005f, 1.0f}, true}, {{-0.0002f, -0.0002f}, false},
        {{1.0f, 0.0f}, true},      {{2.0f, 2.0f}, false},    {{0.999f, 0.001f}, true},
    };
    for (const Region& square : UnitSquares()) {
        for (const Case& c : cases) {
            EXPECT_EQ(cg::InsidePolygon(c.p, square), c.inside) << c.p.x << ", " << c.p.y;
        }
    }
}

// A point exactly on an edge is decided by the other edges; whatever they decide, the answer
// must not depend on the orientation of the list or on where it starts.
TEST(InsidePolygon, PointsOnEdgesDoNotDependOnVertexOrder) {
    const Point onEdges[] = {{0.5f, 0.0f}, {1.0f, 0.5f}, {0.5f, 1.0f}, {0.0f, 0.5f}, {0.3f, 0.0f}};
    const std::vector<Region> squares = UnitSquares();
    for (const Point& p : onEdges) {
        const bool first = cg::InsidePolygon(p, squares.front());
        for (const Region& square : squares) {
            EXPECT_EQ(cg::InsidePolygon(p, square), first) << p.x << ", " << p.y;
        }
    }
}

TEST(InsidePolygon, ConcavePolygonExcludesItsNotch) {
    // An L shape: the square [0, 2]^2 without its upper-right quarter.
    const Region shape{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    const Case cases[] = {
        {{0.5f, 0.5f}, true}, {{1.5f, 0.5f}, true}, {{0.5f, 1.5f}, true}, {{1.5f, 1.5f}, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(cg::InsidePolygon(c.p, shape), c.inside) << c.p.x << ", " << c.p.y;
    }
}

TEST(InsidePolygon, FewerThanThreeVerticesAreEnteredOnlyAtAVertex) {
    const Region segment{{0, 0}, {2, 2}};
    const Case cases[] = {{{1, 1}, false}, {{0.5f, 0.5f}, false}, {{2, 2}, true}, {{3, 0}, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(cg::InsidePolygon(c.p, segment), c.inside) << c.p.x << ", " << c.p.y;
    }
    EXPECT_TRUE(cg::InsidePolygon({0.3f, 0.3f}, Region{{0.3f, 0.3f}}));
    EXPECT_FALSE(cg::InsidePolygon({0.4f, 0.3f}, Region{{0.3f, 0.3f}}));
    EXPECT_FALSE(cg::InsidePolygon({0.0f, 0.0f}, Region{}));
}

TEST(InsidePolygon, NonFinitePointsAreOutside) {
    const Region square{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const Point& p : {Point{nan, 0.5f}, Point{0.5f, inf}, Point{-inf, -inf}}) {
        EXPECT_FALSE(cg::InsidePolygon(p, square));
    }
}

} // namespace
