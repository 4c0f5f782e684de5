#include "Platform/Input/EventTranslator.h"

#include "FrameInput.h"
#include "SdlEvents.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

using namespace Input;
using namespace test;

namespace {

struct Fixture {
    Fixture() {
        translator.Attach(mouse);
        translator.Attach(keyboard);
        EXPECT_EQ(mouse->Acquire(), Ok);
        EXPECT_EQ(keyboard->Acquire(), Ok);
    }
    EventTranslator translator;
    std::shared_ptr<Device> mouse = std::make_shared<Device>(Device::Kind::Mouse);
    std::shared_ptr<Device> keyboard = std::make_shared<Device>(Device::Kind::Keyboard);
};

} // namespace

TEST(InputEventTranslator, EachEventKindBecomesItsRecords) {
    struct Case {
        std::string name;
        SDL_Event event;
        std::vector<OfsData> mouse;
        std::vector<OfsData> keyboard;
    };
    const std::vector<Case> cases = {
        {"motion", Motion(5, -3), {{DIMOFS_X, 5}, {DIMOFS_Y, -3}}, {}},
        {"vertical motion", Motion(0, 2), {{DIMOFS_Y, 2}}, {}},
        {"no motion", Motion(0, 0), {}, {}},
        {"left press", Button(SDL_BUTTON_LEFT, true), {{DIMOFS_BUTTON0, Pressed}}, {}},
        {"middle", Button(SDL_BUTTON_MIDDLE, false), {{DIMOFS_BUTTON2, 0}}, {}},
        {"x1", Button(SDL_BUTTON_X1, true), {{DIMOFS_BUTTON3, Pressed}}, {}},
        {"x2 has no offset", Button(SDL_BUTTON_X2, true), {}, {}},
        {"wheel", Wheel(2, false), {{DIMOFS_Z, 240}}, {}},
        {"flipped wheel", Wheel(1, true), {{DIMOFS_Z, -120}}, {}},
        {"no wheel", Wheel(0, false), {}, {}},
        {"key press", Key(SDL_SCANCODE_I, true), {}, {{DIK_I, Pressed}}},
        {"auto-repeat", Key(SDL_SCANCODE_I, true, 1), {}, {}},
        {"unmapped key", Key(SDL_SCANCODE_F13, true), {}, {}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.translator.OnEvent(c.event);
        EXPECT_EQ(OfsDataOf(TakeAll(*f.mouse)), c.mouse) << c.name;
        EXPECT_EQ(OfsDataOf(TakeAll(*f.keyboard)), c.keyboard) << c.name;
    }
}

TEST(InputEventTranslator, OneSequenceForBothDevicesAndTheAxesOfAMotionShareIt) {
    Fixture f;
    f.translator.OnEvent(Motion(1, 1));
    f.translator.OnEvent(Key(SDL_SCANCODE_A, true));
    f.translator.OnEvent(Button(SDL_BUTTON_LEFT, true));
    f.translator.OnEvent(Key(SDL_SCANCODE_A, true, 1)); // a repeat takes no number
    f.translator.OnEvent(Key(SDL_SCANCODE_A, false));
    const std::vector<Record> mouse = TakeAll(*f.mouse);
    const std::vector<Record> keys = TakeAll(*f.keyboard);
    ASSERT_EQ(mouse.size(), 3u);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(mouse[0].dwSequence, mouse[1].dwSequence);
    EXPECT_EQ(mouse[0].dwTimeStamp, 77u);
    EXPECT_LT(mouse[1].dwSequence, keys[0].dwSequence);
    EXPECT_LT(keys[0].dwSequence, mouse[2].dwSequence);
    EXPECT_EQ(keys[1].dwSequence, mouse[2].dwSequence + 1);
}

TEST(InputEventTranslator, FocusLossUnacquiresBothDevicesAndDeadDevicesAreSkipped) {
    Fixture f;
    f.translator.OnEvent(Key(SDL_SCANCODE_A, true));
    f.translator.OnEvent(Focus(false));
    EXPECT_FALSE(f.mouse->Acquired());
    EXPECT_FALSE(f.keyboard->Acquired());
    f.translator.OnEvent(Focus(true));
    EXPECT_EQ(f.keyboard->Acquire(), Ok);
    EXPECT_TRUE(TakeAll(*f.keyboard).empty()); // the press before the loss is gone

    f.mouse.reset();
    f.translator.OnEvent(Motion(3, 3));
    f.translator.OnEvent(Key(SDL_SCANCODE_B, true));
    EXPECT_EQ(OfsDataOf(TakeAll(*f.keyboard)), (std::vector<OfsData>{{DIK_B, Pressed}}));
}

TEST(InputEventTranslator, KeysMapByPhysicalPosition) {
    const std::pair<SDL_Scancode, std::uint32_t> spots[] = {
        // The keys the scenes read.
        {SDL_SCANCODE_ESCAPE, 0x01},
        {SDL_SCANCODE_I, 0x17},
        {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_GRAVE, 0x29},
        // Keys of their own, and the two positions of the backslash key.
        {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_BACKSLASH, 0x2B},
        {SDL_SCANCODE_NONUSHASH, 0x2B},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
        {SDL_SCANCODE_RALT, 0xB8},
        {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_DELETE, 0xD3},
    };
    for (const auto& [scancode, code] : spots) {
        EXPECT_EQ(EventTranslator::DikFromScancode(scancode), code) << scancode;
    }
    for (SDL_Scancode none : {SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_F13, SDL_SCANCODE_AUDIOPLAY,
                              SDL_SCANCODE_LANG1, SDL_NUM_SCANCODES}) {
        EXPECT_EQ(EventTranslator::DikFromScancode(none), std::nullopt) << none;
    }
    // Apart from the backslash key's two positions, no two keys share a code.
    std::map<std::uint32_t, int> seen;
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        if (auto code = EventTranslator::DikFromScancode(SDL_Scancode(sc))) {
            ++seen[*code];
        }
    }
    for (const auto& [code, times] : seen) {
        EXPECT_EQ(times, code == DIK_BACKSLASH ? 2 : 1) << std::hex << code;
    }
    EXPECT_EQ(seen.size(), 105u); // every key of a standard keyboard
}
