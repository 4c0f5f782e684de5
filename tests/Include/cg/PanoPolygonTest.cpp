#include "Include/cg/Polygon.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using Cp = cg::cp<float>;
using Region = cg::region<Cp>;

// The rectangle from heading h0 to h1 and pitch -0.2 to 0.2, in the zone loader's order.
Region Rectangle(float h0, float h1) {
    return {{h0, -0.2f}, {h0, 0.2f}, {h1, 0.2f}, {h1, -0.2f}};
}

struct Case {
    Cp direction;
    bool inside;
};

TEST(InsidePanoPolygon, RectanglesAcrossHeadingZero) {
    // The same sector written with normalised headings, past 2 pi, and below 0.
    const Region rectangles[] = {Rectangle(6.2f, 0.1f), Rectangle(0.1f, 6.2f),
                                 Rectangle(6.2f, 6.3832f), Rectangle(-0.0832f, 0.1f)};
    const Case cases[] = {
        {{0.0f, 0.0f}, true},     {{6.25f, 0.1f}, true},  {{0.05f, -0.1f}, true},
        {{6.2832f, 0.0f}, true},  {{3.1f, 0.0f}, false},  {{0.0f, 0.3f}, false},
        {{6.15f, 0.0f}, false},   {{0.15f, 0.0f}, false}, {{-0.02f, 0.0f}, true},
        {{12.5664f, 0.0f}, true}, {{6.2f, 0.2f}, true},   {{1.0f, -0.25f}, false},
    };
    for (const Region& rectangle : rectangles) {
        for (const Case& c : cases) {
            EXPECT_EQ(cg::InsidePanoPolygon(c.direction, rectangle), c.inside)
                << rectangle[0].heading << ": " << c.direction.heading << ", " << c.direction.pitch;
        }
    }
}

TEST(InsidePanoPolygon, CrossingTwoPiWithOrWithoutNormalisedHeadings) {
    const Region past{{6.1f, -0.1f}, {6.4f, -0.1f}, {6.4f, 0.1f}, {6.1f, 0.1f}};
    const Region wrapped{{6.1f, -0.1f}, {0.117f, -0.1f}, {0.117f, 0.1f}, {6.1f, 0.1f}};
    const Cp directions[] = {{6.2f, 0}, {0.05f, 0}, {0.2f, 0}, {6.0f, 0}, {0.05f, 0.2f}, {3, 0}};
    for (const Cp& d : directions) {
        EXPECT_EQ(cg::InsidePanoPolygon(d, past), cg::InsidePanoPolygon(d, wrapped)) << d.heading;
    }
    EXPECT_TRUE(cg::InsidePanoPolygon({0.05f, 0.0f}, wrapped));
    EXPECT_FALSE(cg::InsidePanoPolygon({0.2f, 0.0f}, wrapped));
}

TEST(InsidePanoPolygon, WideTriangleOnTheFarSide) {
    const Region triangle{{2.0f, -0.5f}, {4.0f, -0.5f}, {3.0f, 0.5f}};
    const Case cases[] = {{{3.0f, 0.0f}, true},  {{2.1f, -0.45f}, true},  {{2.1f, 0.4f}, false},
                          {{0.0f, 0.0f}, false}, {{9.2832f, 0.0f}, true}, {{4.0f, -0.5f}, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(cg::InsidePanoPolygon(c.direction, triangle), c.inside) << c.direction.heading;
    }
}

TEST(InsidePanoPolygon, DegenerateRegionsHitNothingBeyondTheirVertices) {
    const Cp somewhere{0.1f, 0.2f};
    EXPECT_FALSE(cg::InsidePanoPolygon(somewhere, Region{}));
    EXPECT_TRUE(cg::InsidePanoPolygon(somewhere, Region{somewhere}));
    EXPECT_FALSE(cg::InsidePanoPolygon(somewhere, Region{{0.3f, 0.2f}}));
    EXPECT_FALSE(cg::InsidePanoPolygon({0.15f, 0.2f}, Region{{0.1f, 0.2f}, {0.2f, 0.2f}}));
}

TEST(InsidePanoPolygon, NonFiniteAndHugeAnglesAnswerWithoutFault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Region rectangle = Rectangle(6.2f, 0.1f);
    for (const Cp& d : {Cp{nan, 0.0f}, Cp{inf, 0.0f}, Cp{0.0f, nan}, Cp{-inf, 0.0f}}) {
        EXPECT_FALSE(cg::InsidePanoPolygon(d, rectangle));
    }
    Region broken = rectangle;
    broken[2].heading = nan;
    EXPECT_FALSE(cg::InsidePanoPolygon({0.0f, 0.0f}, broken));
    broken[2].heading = 1e30f;
    EXPECT_FALSE(cg::InsidePanoPolygon({3.0f, 0.5f}, broken));
    EXPECT_FALSE(cg::InsidePanoPolygon({1e30f, 0.5f}, rectangle));
}

} // namespace
