#include "States/Controls/Area.h"

#include "ControlProbe.h"
#include "Game/Exception.h"
#include "States/Controls/AreaPano.h"
#include "States/Controls/HitTest.h"
#include "support/GameFixture.h"

#include <memory>

namespace {

using State::Control::Area;
using State::Control::AreaPano;
using State::Control::Base;
using Flat = cg::region<cg::point<float, 2>>;
using Pano = cg::region<cg::cp<float>>;

// A bound function that fails with the program's own error, not a Lua one.
struct Breaker {
    void Break() { throw exception("broken"); }
};

class AreaTest : public test::GameFixture {
protected:
    template <typename Zone>
    std::shared_ptr<Zone> Make(const std::string& attributes, const std::string& text = "") {
        auto zone = std::make_shared<Zone>();
        Base::LoadCommon(*zone,
                         test::ElementOf("<zone " + attributes + ">" + text + "</zone>", "zone"));
        return zone;
    }

    // The text of the error a zone definition raises, or "" when it loads.
    template <typename Zone>
    std::string LoadError(const std::string& attributes) {
        try {
            Make<Zone>(attributes);
        } catch (const exception& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(AreaTest, ScreenZonesArePixelRectanglesInDeviceCoordinates) {
    struct Case {
        const char* attributes;
        Flat region;
    };
    const Case cases[] = {
        {R"(x="0" y="0" w="1024" h="768")", {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}}},
        {R"(x="256" y="192" w="512" h="384")",
         {{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}}},
        {R"(x="-512" y="768" w="+512")", {{-2, -1}, {-2, -1}, {-1, -1}, {-1, -1}}},
        {"", {{-1, 1}, {-1, 1}, {-1, 1}, {-1, 1}}},
    };
    for (const Case& c : cases) {
        const auto zone = Make<Area>(c.attributes);
        EXPECT_EQ(zone->region_, c.region) << c.attributes;
        const auto [x0, y0, x1, y1] = zone->Rect();
        EXPECT_EQ(Flat({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}}), c.region) << c.attributes;
    }
    // The widest rectangle the numbers allow does not overflow.
    const auto huge = Make<Area>(R"(x="2147483647" w="2147483647")");
    EXPECT_FLOAT_EQ(huge->Rect()[2], 4294967294.0f / 512.0f - 1.0f);
    // Without attributes: hit only at the top left corner, with the default context.
    const auto corner = Make<Area>("");
    EXPECT_EQ(corner->GetContext(), "move");
    EXPECT_TRUE(State::Control::HitTestFlat(*corner, {-0.99995f, 0.99995f}));
    EXPECT_FALSE(State::Control::HitTestFlat(*corner, {-0.999f, 0.999f}));
}

TEST_F(AreaTest, PositionsThatAreNotNumbersAreRejected) {
    const char* const flat[] = {R"(x="1.5")", R"(y="abc")", R"(w="")", R"(h=" 4")",
                                R"(x="99999999999")"};
    for (const char* attributes : flat) {
        EXPECT_EQ(LoadError<Area>(attributes), "Bad position format") << attributes;
    }
    const char* const pano[] = {R"(pos="0.1,x,0.3,0.4")", R"(pos="0.1,,0.3,0.4")",
                                R"(pos="1,2,3,4,5,6x")"};
    for (const char* attributes : pano) {
        EXPECT_EQ(LoadError<AreaPano>(attributes), "Bad position format") << attributes;
    }
    EXPECT_EQ(LoadError<AreaPano>(""),
              "Configuration error: \n  Attribute 'pos' not found at zone");
}

TEST_F(AreaTest, PanoramaZonesAreRectanglesOrVertexListsOfDirections) {
    struct Case {
        const char* pos;
        Pano region;
    };
    const Case cases[] = {
        {" 0.1, 0.2 ,0.3,0.4", {{0.1f, 0.2f}, {0.1f, 0.4f}, {0.3f, 0.4f}, {0.3f, 0.2f}}},
        {"1,2,3,4,5,6", {{1, 2}, {3, 4}, {5, 6}}},
        {"1,2,3,4,5,6,7,8", {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
        {"1,2", {{1, 2}}},
        // An odd count is accepted and leaves the zone without vertices.
        {"0.1,0.2,0.3", {}},
        {"", {}},
        {"0.1,oops,0.3", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Make<AreaPano>(std::string("pos=\"") + c.pos + "\"")->region_, c.region) << c.pos;
    }
    // Across heading 0 the zone is hit on both sides; without a context it is never hit.
    const auto across = Make<AreaPano>(R"(pos="6.2,-0.2,0.1,0.2")");
    EXPECT_TRUE(State::Control::HitTestPano(*across, {0.0f, 0.0f}));
    EXPECT_TRUE(State::Control::HitTestPano(*across, {6.25f, 0.1f}));
    EXPECT_FALSE(State::Control::HitTestPano(*across, {3.1f, 0.0f}));
    const auto silent = Make<AreaPano>(R"(pos="6.2,-0.2,0.1,0.2" context="")");
    EXPECT_FALSE(State::Control::HitTestPano(*silent, {0.0f, 0.0f}));
}

TEST_F(AreaTest, ClicksRunTheScriptLogLuaErrorsAndPassOthersOn) {
    Make<Area>("", "clicks = (clicks or 0) + 1")->Click();
    Make<AreaPano>(R"(pos="0,0,1,1")", "clicks = clicks + 10")->Click();
    EXPECT_EQ(Eval("clicks"), "11");
    NewLogLines();

    // The script's effects up to the error stay; the error is logged with the interpreter's
    // message and the click (the control, read on its own, has no part or state).
    const auto failing = Make<AreaPano>(R"(pos="0,0,1,1")", "before = 1 error('zone broke')");
    EXPECT_NO_THROW(failing->Click());
    EXPECT_EQ(Eval("before"), "1");
    EXPECT_EQ(NewLogLines(),
              (std::vector<std::string>{
                  "Lua error in event 'click': [string \"before = 1 error('zone broke')\"]:1: "
                  "zone broke",
                  "LUA: Runtime error", "Message: Execute - call failed",
                  "Code: before = 1 error('zone broke')"}));

    EXPECT_NO_THROW(Make<Area>("", "this is not lua")->Click());
    EXPECT_NE(NewLogLines().at(1).find("LUA: Syntax error"), std::string::npos);

    // Errors of the program's own are passed on.
    Breaker breaker;
    game().lua_.Register("explode", &breaker, &Breaker::Break);
    try {
        Make<Area>("", "explode()")->Click();
        FAIL() << "no error";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "broken");
    }
}

} // namespace
