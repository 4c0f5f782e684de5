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

// Clickable first, then a context, then the region: the context is asked for only of a
// clickable control, and an empty region is never hit.
TEST(HitTest, NeedsClickableContextAndRegionInThatOrder) {
    struct Case {
        bool clickable;
        const char* context;
        bool pointInside;
        bool hit;
        int contextCalls;
    };
    for (const Case& c : {Case{true, "walk", true, true, 1}, Case{true, "walk", false, false, 1},
                          Case{true, "", true, false, 1}, Case{false, "walk", true, false, 0}}) {
        FakeControl<cg::region<cg::point<float, 2>>> flat{
            c.clickable, c.context, {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}}};
        FakeControl<cg::region<cg::cp<float>>> pano{
            c.clickable, c.context, {{6.2f, -0.2f}, {6.2f, 0.2f}, {0.1f, 0.2f}, {0.1f, -0.2f}}};
        EXPECT_EQ(State::Control::HitTestFlat(flat, c.pointInside ? cg::point<float, 2>{0, 0}
                                                                  : cg::point<float, 2>{1, 1}),
                  c.hit);
        EXPECT_EQ(State::Control::HitTestPano(pano, c.pointInside ? cg::cp<float>{0, 0}
                                                                  : cg::cp<float>{3, 0}),
                  c.hit);
        EXPECT_EQ(flat.contextCalls, c.contextCalls);
        EXPECT_EQ(pano.contextCalls, c.contextCalls);
    }
    FakeControl<cg::region<cg::cp<float>>> emptyPano;
    FakeControl<cg::region<cg::point<float, 2>>> emptyFlat;
    EXPECT_FALSE(State::Control::HitTestPano(emptyPano, {0, 0}));
    EXPECT_FALSE(State::Control::HitTestFlat(emptyFlat, {0, 0}));
}

} // namespace
