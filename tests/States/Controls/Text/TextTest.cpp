#include "States/Controls/Text.h"

#include "../ControlProbe.h"
#include "States/Controls/HitTest.h"
#include "support/GameFixture.h"

#include <array>
#include <boost/lexical_cast.hpp>

namespace {

using State::Control::Base;
using State::Control::ParseColor;
using State::Control::Text;

class TextTest : public test::GameFixture {
protected:
    std::shared_ptr<Text> Make(const std::string& xml) {
        auto text = std::make_shared<Text>();
        Base::LoadCommon(*text, test::ElementOf(xml, "text"));
        return text;
    }
};

TEST(TextColour, ParseColor) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"#FF8000", 0xFFFF8000},  {"#ff8000", 0xFFFF8000}, {"#GG0000", 0xFFFF0000},
        {"#0a0B0c", 0xFF0A0B0C},  {"#000000", 0xFF000000}, {"#fFfFfF", 0xFFFFFFFF},
        {"FF8000", 0xFFFFFFFF},   {"#FFF", 0xFFFFFFFF},    {"", 0xFFFFFFFF},
        {"#FF80000", 0xFFFFFFFF}, {"#12 4-6", 0xFF12F4F6},
    };
    for (const auto& [text, argb] : cases) {
        EXPECT_EQ(ParseColor(text), argb) << text;
    }
}

// The rectangle, the drawing flags and the colour from the attributes; alignment words are
// exact; far corners are pulled in instead of overflowing.
TEST_F(TextTest, LoadsItsBoxAlignmentAndColour) {
    const struct {
        const char* attributes;
        Gfx::Rect rect;
        std::uint32_t format;
        std::uint32_t colour;
    } cases[] = {
        {R"(x="100" y="50" w="200" h="30")", {100, 50, 300, 80}, 0x100, 0xFFFFFFFF},
        {"", {0, 0, 0, 0}, 0x100, 0xFFFFFFFF},
        {R"(alignx="center" aligny="middle" color="#102030")", {}, 0x105, 0xFF102030},
        {R"(alignx="right" aligny="bottom")", {}, 0x10A, 0xFFFFFFFF},
        {R"(alignx="Center" aligny="Middle")", {}, 0x100, 0xFFFFFFFF},
        {R"(alignx="top" aligny="left")", {}, 0x100, 0xFFFFFFFF},
        {R"(x="-20" y="-5" w="-10" h="10")", {-20, -5, -30, 5}, 0x100, 0xFFFFFFFF},
        {R"(x="2147483647" w="2147483647" y="-2147483648" h="-1")",
         {1 << 24, -(1 << 24), 1 << 24, -(1 << 24)},
         0x100,
         0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        const auto text = Make(std::string("<text ") + c.attributes + "/>");
        const auto [left, top, right, bottom] = text->rect_;
        EXPECT_EQ((std::array{left, top, right, bottom}),
                  (std::array{c.rect.left, c.rect.top, c.rect.right, c.rect.bottom}))
            << c.attributes;
        EXPECT_EQ(text->format_, c.format) << c.attributes;
        EXPECT_EQ(text->colour_, c.colour) << c.attributes;
    }
    for (const char* bad : {R"(x="1.5")", R"(w="wide")", R"(h="99999999999")"}) {
        EXPECT_THROW(Make(std::string("<text ") + bad + "/>"), boost::bad_lexical_cast) << bad;
    }
}

// "set_text" is bound only while one of the text's scripts runs; the text is never hit and
// never changes the cursor, whatever "click" says; its bytes pass unchanged.
TEST_F(TextTest, ScriptsReplaceTheTextWhichIsNeverHit) {
    const auto text = Make("<text text=\"caf\xE9\" click=\"yes\" x=\"0\" y=\"0\" w=\"1024\" "
                           "h=\"768\"><event name=\"render\">set_text(next)</event></text>");
    EXPECT_EQ(text->text_, "caf\xE9");
    EXPECT_FALSE(text->clickable_);
    EXPECT_EQ(text->GetContext(), "");
    game().lua_.Execute("next = 'score: 12'");
    Base::RenderPass(*text);
    EXPECT_EQ(text->text_, "score: 12");
    EXPECT_EQ(Eval("set_text"), "nil");
    text->region_ = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
    text->clickable_ = true;
    EXPECT_FALSE(State::Control::HitTestFlat(*text, {0.0f, 0.0f}));

    const auto init = Make(R"(<text text="a"><event name="init">set_text('b')</event></text>)");
    EXPECT_EQ(init->text_, "b") << "init runs after Load, with set_text bound";
}

} // namespace
