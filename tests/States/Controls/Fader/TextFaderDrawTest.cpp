#include "../../../FileSystem/FileSystemFixture.h"
#include "../ControlProbe.h"
#include "FileSystem/Locator.h"
#include "Platform/Gfx/Device.h"
#include "States/Screen.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"
#include "support/gl/GameOnDevice.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;

// A screen with texts and a slider drawn on the real device with the device's font and sprite.
class TextFaderDrawTest : public test::GameOnDevice {
protected:
    void SetUp() override {
        GameOnDevice::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        std::shared_ptr<Gfx::Sprite> sprite;
        ASSERT_EQ(device_->CreateSprite(sprite), Gfx::kOk);
        Gfx::FontDesc desc;
        desc.height = 16;
        desc.face = "Courier New";
        std::shared_ptr<Gfx::Font> font;
        ASSERT_EQ(device_->CreateFont(desc, font), Gfx::kOk);
        GfxLink::Publish(device_, sprite, font);
        tree_.AddLoose("bg.dds",
                       gfxtest::MakeArgbDds(4, 4, std::vector<std::uint32_t>(16, kBlack)));
        tree_.AddLoose("knob.dds",
                       gfxtest::MakeArgbDds(64, 32, std::vector<std::uint32_t>(64 * 32, kGreen)));
        Locator::Instance().Init(tree_.Root().string());
    }

    std::shared_ptr<State::Screen> Read(const std::string& children) {
        auto screen = std::make_shared<State::Screen>();
        screen->LoadCommon(
            test::ElementOf(R"(<screen name="s" src="bg.dds">)" + children + "</screen>", "screen"),
            "p");
        return screen;
    }

    test::GameTree tree_;
};

TEST_F(TextFaderDrawTest, TextAndKnobLandWhereTheyArePlaced) {
    const auto screen =
        Read(R"(<text text="Hello" x="100" y="100" w="300" h="40" alignx="right" color="#FF0000"/>)"
             R"(<text text="WWWWWWWWWWWWWWWWWWWW" x="600" y="200" w="40" h="16" color="#FF0000"/>)"
             R"(<fader x="0.5" right="0.9" top="0.5" tex="knob.dds"/>)");
    const auto fader = screen->Faders().at("fader0");
    EXPECT_FLOAT_EQ(fader->half_.x, 0.03125f);
    EXPECT_FLOAT_EQ(fader->half_.y, 32.0f / 1536.0f);
    screen->FireStart();
    ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
    ASSERT_EQ(device_->Clear(kBlack), Gfx::kOk);
    screen->Render();
    ASSERT_EQ(device_->EndScene(), Gfx::kOk);
    const std::vector<std::uint32_t> frame = ReadBackBuffer();
    const auto redIn = [&frame](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const std::uint32_t c = frame[std::size_t(y) * 1024 + std::size_t(x)];
                count += (c >> 16 & 0xFF) > 128 && (c & 0xFFFF) == 0;
            }
        }
        return count;
    };
    // Right-aligned: five 8-pixel cells end at the box's right edge.
    EXPECT_GT(redIn(360, 100, 400, 116), 40);
    EXPECT_EQ(redIn(100, 100, 358, 140), 0);
    // A text longer than its box is not cut at the box.
    EXPECT_GT(redIn(700, 200, 760, 216), 40);
    // The knob: 64x32 pixels centred on (512, 384).
    const auto at = [&frame](int x, int y) {
        return frame[std::size_t(y) * 1024 + std::size_t(x)];
    };
    for (const auto& [x, y] : {std::pair{480, 368}, {543, 368}, {480, 399}, {543, 399}}) {
        EXPECT_EQ(at(x, y), kGreen) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{479, 368}, {544, 368}, {480, 367}, {543, 400}}) {
        EXPECT_EQ(at(x, y), kBlack) << x << "," << y;
    }
}

// A knob whose picture cannot be had: the screen loads and one line says where; nothing is
// drawn, and the slider still moves for scripts and for a drag in its travel, begun exactly on
// the knob's place.
TEST_F(TextFaderDrawTest, MissingKnobLeavesTheSliderWorking) {
    test::LogSince log;
    const auto screen = Read(R"(<fader x="0.2" right="0.6" top="0.5" tex="lost.dds">)"
                             R"(<event name="update">updates = (updates or 0) + 1</event>)"
                             R"(<event name="poke">set_pos(1, 0) across = posy() down = pos())"
                             R"(</event></fader>)");
    EXPECT_EQ(log.Count("Fader 'fader0' of state 's' has no knob picture 'lost.dds'; the knob is "
                        "not drawn"),
              1);
    EXPECT_EQ(log.Count("\tAt .\\States\\Controls\\Fader"), 0);
    const auto fader = screen->Faders().at("fader0");
    EXPECT_EQ(fader->half_, (cg::point<float, 2>{0.0f, 0.0f}));
    screen->FireStart();
    const auto frame = [&] {
        ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
        ASSERT_EQ(device_->Clear(kBlack), Gfx::kOk);
        screen->Render();
        ASSERT_EQ(device_->EndScene(), Gfx::kOk);
    };
    frame();
    const std::vector<std::uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kBlack), long(pixels.size()));

    State::Control::Base::FireEvent(*fader, "poke");
    EXPECT_EQ(test::EvalLua("across .. ' ' .. down"), "1 0");
    fader->SetPos(0.0f, 0.0f);
    const State::InputRecord press{State::kMouseButton0, State::kPressedBit};
    const State::InputRecord release{State::kMouseButton0, 0u};
    State::ScreenServices::SetPointer(0.2f, 0.5f);
    frame();
    screen->Input(&press, 1, false);
    State::ScreenServices::SetPointer(0.9f, 0.5f);
    frame();
    screen->Input(&release, 1, false);
    EXPECT_EQ(fader->PosX(), 1.0f);
    EXPECT_EQ(test::EvalLua("updates"), "1");
}

} // namespace
