#include "Game/Cursor.h"

#include "Game/Exception.h"
#include "support/GameFixture.h"
#include "support/ThrownText.h"

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class CursorTest : public test::GameFixture {
protected:
    static XmlDom::Element CursorElement(const std::string& xml) {
        return XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString("<korvantine>" + xml + "</korvantine>")), "cursor");
    }

    Cursor cursor_;
};

// Later names replace earlier ones; an unknown context changes nothing and is logged once,
// however often it is asked for (screens ask in every frame).
TEST_F(CursorTest, LoadsTheAtlasAndContextsLaterNamesReplacingEarlier) {
    cursor_.Load(CursorElement(R"(<cursor tex="gfx\common\cursor.dds">
        <context index="0" name="none"/><context index="3" name="do"/>
        <context index="-1" name="odd"/><context index="7" name="do"/></cursor>)"));
    EXPECT_EQ(cursor_.Texture(), "gfx\\common\\cursor.dds");
    cursor_.SetContext("do", true);
    EXPECT_EQ(cursor_.Index(), 7);
    EXPECT_EQ(cursor_.GetContext(), "do");
    EXPECT_TRUE(cursor_.ItemHeld());
    cursor_.SetContext("odd", false);
    EXPECT_EQ(cursor_.Index(), -1);
    EXPECT_FALSE(cursor_.ItemHeld());
    NewLogLines();
    cursor_.SetContext("take", true);
    cursor_.SetContext("take", true);
    cursor_.SetContext("look", false);
    cursor_.SetContext("take", false);
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{"Warning: no such context 'take'",
                                                       "Warning: no such context 'look'"}));
    EXPECT_EQ(cursor_.GetContext(), "odd");
    EXPECT_EQ(cursor_.Index(), -1);
    EXPECT_FALSE(cursor_.ItemHeld());
}

TEST_F(CursorTest, DefinitionFaultsThrow) {
    EXPECT_EQ(test::ThrownText([&] {
                  cursor_.Load(CursorElement(R"(<cursor><context index="1" name="a"/></cursor>)"));
              }),
              "Configuration error: \n  Attribute 'tex' not found at cursor");
    for (const char* context :
         {R"(name="a")", R"(index="1")", R"(index="1.5" name="a")", R"(index="x" name="a")",
          R"(index="" name="a")", R"(index="99999999999" name="a")"}) {
        EXPECT_ANY_THROW(cursor_.Load(
            CursorElement(std::string(R"(<cursor tex="t"><context )") + context + "/></cursor>")))
            << context;
    }
}

// Motion scales with the sensitivity (100 mouse units: out-of-range values behave as the
// nearest edge, a value that is not a number as the default 0.5), and the position stays on
// the screen and finite whatever the motion.
TEST_F(CursorTest, MotionScalesWithClampedSensitivityAndStaysOnTheScreen) {
    const float lo = 100.0f / 1800.0f;
    struct Case {
        float sensitivity, dx, dy, x, y;
    };
    for (const Case& c :
         {Case{0.5f, 100, -100, 0.6f, 0.4f}, Case{1.0f, 100, -100, 1.0f, 0.0f},
          Case{0.0f, 100, -100, 0.5f + lo, 0.5f - lo}, Case{3.0f, 100, -100, 1.0f, 0.0f},
          Case{-2.0f, 100, -100, 0.5f + lo, 0.5f - lo}, Case{kInf, 100, -100, 1.0f, 0.0f},
          Case{-kInf, 100, -100, 0.5f + lo, 0.5f - lo}, Case{kNaN, 100, -100, 0.6f, 0.4f},
          Case{0.5f, 1e6f, -1e6f, 1.0f, 0.0f}, Case{0.5f, -1e6f, 1e6f, 0.0f, 1.0f},
          Case{0.5f, kNaN, 100, 0.5f, 0.6f}, Case{0.5f, 100, kNaN, 0.6f, 0.5f},
          Case{0.5f, kInf, -kInf, 1.0f, 0.0f}}) {
        SCOPED_TRACE(testing::Message() << c.sensitivity << ": " << c.dx << ", " << c.dy);
        opts().mouseSensitivity_ = c.sensitivity;
        cursor_.SetPos(0.5f, 0.5f);
        cursor_.Move(c.dx, c.dy);
        EXPECT_NEAR(cursor_.X(), c.x, 1e-6f);
        EXPECT_NEAR(cursor_.Y(), c.y, 1e-6f);
    }
    cursor_.SetPos(0.25f, 0.75f);
    cursor_.SetPos(kNaN, 2.0f);
    EXPECT_FLOAT_EQ(cursor_.X(), 0.25f);
    EXPECT_FLOAT_EQ(cursor_.Y(), 1.0f);
    cursor_.SetPos(-3.0f, kNaN);
    EXPECT_FLOAT_EQ(cursor_.X(), 0.0f);
    EXPECT_FLOAT_EQ(cursor_.Y(), 1.0f);
}

} // namespace
