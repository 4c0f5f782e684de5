#include "States/Controls/HitTest.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Just what the hit tests read of a control, and how often its context was asked for.
template <typename Region>
struct FakeControl {
    bool clickable_ = true;
    std::string context = "walk";
    Region region_;
    int contextCalls = 0;

    std::string GetContext() {
        ++contextCalls;
        return context;
    }
};

struct Case {
    bool clickable;
    const char* context;
    bool pointInside;
    bool hit;
    int contextCalls;
};

const Case kCases[] = {
    {true, "walk", true, true, 1},   {true, "walk", false, false, 1}, {true, "", true, false, 1},
    {false, "walk", true, false, 0}, {false, "", false, false, 0},
};

TEST(HitTest, FlatNeedsClickableContextAndRegionInThatOrder) {
    for (const Case& c : kCases) {
        FakeControl<cg::region<cg::point<float, 2>>> control{
            c.clickable, c.context, {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}}};
        const cg::point<float, 2> p =
            c.pointInside ? cg::point<float, 2>{0, 0} : cg::point<float, 2>{1, 1};
        EXPECT_EQ(State::Control::HitTestFlat(control, p), c.hit);
        EXPECT_EQ(control.contextCalls, c.contextCalls);
    }
}

TEST(HitTest, PanoNeedsClickableContextAndRegionInThatOrder) {
    for (const Case& c : kCases) {
        FakeControl<cg::region<cg::cp<float>>> control{
            c.clickable, c.context, {{6.2f, -0.2f}, {6.2f, 0.2f}, {0.1f, 0.2f}, {0.1f, -0.2f}}};
        const cg::cp<float> d = c.pointInside ? cg::cp<float>{0, 0} : cg::cp<float>{3, 0};
        EXPECT_EQ(State::Control::HitTestPano(control, d), c.hit);
        EXPECT_EQ(control.contextCalls, c.contextCalls);
    }
}

TEST(HitTest, EmptyRegionIsNeverHit) {
    FakeControl<cg::region<cg::cp<float>>> pano;
    FakeControl<cg::region<cg::point<float, 2>>> flat;
    EXPECT_FALSE(State::Control::HitTestPano(pano, {0, 0}));
    EXPECT_FALSE(State::Control::HitTestFlat(flat, {0, 0}));
}

} // namespace
