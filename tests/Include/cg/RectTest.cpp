#include "Include/cg/Rect.h"

#include <gtest/gtest.h>

namespace {

using Point = cg::point<float, 2>;

// Every border is inside; the slider's travel {left, top, right, bottom} has top as the upper
// y bound; points closer than 0.0001 are equal.
TEST(Rect, ContainsClampsAndTolerances) {
    const cg::rect square{-0.9f, -0.9f, 0.9f, 0.9f};
    struct Case {
        Point p;
        bool inside;
    } const cases[] = {
        {{-0.9f, 0.0f}, true},   {{0.0f, 0.9f}, true},   {{0.9f, 0.9f}, true},
        {{0.0f, -0.91f}, false}, {{0.91f, 0.0f}, false}, {{-1.0f, 1.0f}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cg::Contains(c.p, square), c.inside) << c.p.x << ", " << c.p.y;
    }
    const cg::rect travel{-0.5f, 0.4f, 0.5f, -0.2f};
    EXPECT_EQ(cg::Clamp(travel, {-1.0f, 1.0f}), (Point{-0.5f, 0.4f}));
    EXPECT_EQ(cg::Clamp(travel, {1.0f, -1.0f}), (Point{0.5f, -0.2f}));
    EXPECT_FALSE(cg::Equal(Point{0, 0}, Point{0.0001f, 0}));
    EXPECT_TRUE(cg::Equal(Point{0, 0}, Point{0.00009f, 0}));
    const Point excess = cg::EdgeExcess(Point{0.0f, 1.0f}, 0.01f, 0.99f);
    EXPECT_NEAR(excess.x, -0.01f, 1e-6f);
    EXPECT_NEAR(excess.y, 0.01f, 1e-6f);
}

} // namespace
