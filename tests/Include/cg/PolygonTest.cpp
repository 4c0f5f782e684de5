#include "Include/cg/Polygon.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Point = cg::point<float, 2>;
using Region = cg::region<Point>;
using Cp = cg::cp<float>;
using PanoRegion = cg::region<Cp>;

const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// The unit square in both orientations and from every starting vertex.
std::vector<Region> UnitSquares() {
    std::vector<Region> squares;
    Region square{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t start = 0; start < square.size(); ++start) {
            squares.push_back(square);
            std::rotate(square.begin(), square.begin() + 1, square.end());
        }
        std::reverse(square.begin(), square.end());
    }
    return squares;
}

// Points within 0.0001 of a vertex are inside; non-finite points are outside. A point exactly
// on an edge may go either way, but never depending on the vertex order.
TEST(InsidePolygon, UnitSquareAnswersDoNotDependOnVertexOrder) {
    const struct {
        Point p;
        bool inside;
    } cases[] = {
        {{0.5f, 0.5f}, true},          {{1.5f, 0.5f}, false},     {{0.5f, 1.001f}, false},
        {{0.5f, 0.999f}, true},        {{-0.00005f, 0.0f}, true}, {{1.00005f, 1.0f}, true},
        {{-0.0002f, -0.0002f}, false}, {{0.999f, 0.001f}, true},  {{kNan, 0.5f}, false},
        {{0.5f, kInf}, false},
    };
    const std::vector<Region> squares = UnitSquares();
    for (const Region& square : squares) {
        for (const auto& c : cases) {
            EXPECT_EQ(cg::InsidePolygon(c.p, square), c.inside) << c.p.x << ", " << c.p.y;
        }
    }
    for (const Point& p : {Point{0.5f, 0.0f}, Point{1.0f, 0.5f}, Point{0.0f, 0.3f}}) {
        const bool first = cg::InsidePolygon(p, squares.front());
        for (const Region& square : squares) {
            EXPECT_EQ(cg::InsidePolygon(p, square), first) << p.x << ", " << p.y;
        }
    }
}

// A concave L (the square [0, 2]^2 without its upper-right quarter), and regions of fewer
// than three vertices, which are entered only at a vertex.
TEST(InsidePolygon, ConcaveAndDegenerateRegions) {
    const Region shape{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    const Region segment{{0, 0}, {2, 2}};
    const Region dot{{0.3f, 0.3f}};
    const struct {
        const Region& region;
        Point p;
        bool inside;
    } cases[] = {
        {shape, {1.5f, 0.5f}, true}, {shape, {0.5f, 1.5f}, true}, {shape, {1.5f, 1.5f}, false},
        {segment, {1, 1}, false},    {segment, {2, 2}, true},     {dot, {0.3f, 0.3f}, true},
        {dot, {0.4f, 0.3f}, false},  {Region{}, {0, 0}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cg::InsidePolygon(c.p, c.region), c.inside)
            << c.region.size() << ": " << c.p.x << ", " << c.p.y;
    }
}

// The rectangle from heading h0 to h1 and pitch -0.2 to 0.2, in the zone loader's order.
PanoRegion Rectangle(float h0, float h1) {
    return {{h0, -0.2f}, {h0, 0.2f}, {h1, 0.2f}, {h1, -0.2f}};
}

TEST(InsidePanoPolygon, RectanglesAcrossHeadingZero) {
    // The same sector written with normalised headings, past 2 pi, and below 0.
    const PanoRegion rectangles[] = {Rectangle(6.2f, 0.1f), Rectangle(0.1f, 6.2f),
                                     Rectangle(6.2f, 6.3832f), Rectangle(-0.0832f, 0.1f)};
    const struct {
        Cp direction;
        bool inside;
    } cases[] = {
        {{0.0f, 0.0f}, true},     {{6.25f, 0.1f}, true},  {{0.05f, -0.1f}, true},
        {{6.2832f, 0.0f}, true},  {{3.1f, 0.0f}, false},  {{0.0f, 0.3f}, false},
        {{6.15f, 0.0f}, false},   {{0.15f, 0.0f}, false}, {{-0.02f, 0.0f}, true},
        {{12.5664f, 0.0f}, true}, {{6.2f, 0.2f}, true},   {{1e30f, 0.0f}, false},
        {{kNan, 0.0f}, false},    {{0.0f, kNan}, false},  {{-kInf, 0.0f}, false},
    };
    for (const PanoRegion& rectangle : rectangles) {
        for (const auto& c : cases) {
            EXPECT_EQ(cg::InsidePanoPolygon(c.direction, rectangle), c.inside)
                << rectangle[0].heading << ": " << c.direction.heading << ", " << c.direction.pitch;
        }
    }
}

TEST(InsidePanoPolygon, FarSideTriangleDegenerateAndBrokenRegions) {
    const PanoRegion triangle{{2.0f, -0.5f}, {4.0f, -0.5f}, {3.0f, 0.5f}};
    EXPECT_TRUE(cg::InsidePanoPolygon({2.1f, -0.45f}, triangle));
    EXPECT_TRUE(cg::InsidePanoPolygon({9.2832f, 0.0f}, triangle));
    EXPECT_FALSE(cg::InsidePanoPolygon({2.1f, 0.4f}, triangle));
    EXPECT_FALSE(cg::InsidePanoPolygon({0.0f, 0.0f}, triangle));

    const Cp somewhere{0.1f, 0.2f};
    EXPECT_FALSE(cg::InsidePanoPolygon(somewhere, PanoRegion{}));
    EXPECT_TRUE(cg::InsidePanoPolygon(somewhere, PanoRegion{somewhere}));
    EXPECT_FALSE(cg::InsidePanoPolygon({0.15f, 0.2f}, PanoRegion{{0.1f, 0.2f}, {0.2f, 0.2f}}));

    PanoRegion broken = Rectangle(6.2f, 0.1f);
    broken[2].heading = kNan;
    EXPECT_FALSE(cg::InsidePanoPolygon({0.0f, 0.0f}, broken));
    broken[2].heading = 1e30f;
    EXPECT_FALSE(cg::InsidePanoPolygon({3.0f, 0.5f}, broken));
}

} // namespace
