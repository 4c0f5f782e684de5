#include "../../../FileSystem/FileSystemFixture.h"
#include "FileSystem/Locator.h"
#include "ImageXml.h"
#include "Platform/Gfx/Sprite.h"
#include "support/gl/GameOnDevice.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

// Neighbouring texels differ sharply (blue alternates between 0 and 255), so a picture that
// is not texel-aligned shows as blended colours.
std::uint32_t CellTexel(int x, int y) {
    return kBlack | std::uint32_t(x * 4) << 16 | std::uint32_t(y * 8) << 8 |
           ((x + y) % 2 ? 0xFF : 0);
}
std::uint32_t StripTexel(int x, int y) {
    return kBlack | std::uint32_t(255 - x * 8) << 16 | std::uint32_t(y * 16) << 8 |
           ((x + y) % 2 ? 0 : 0xFF);
}

template <typename F>
std::vector<std::uint32_t> Texels(int w, int h, F texel) {
    std::vector<std::uint32_t> texels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            texels.push_back(texel(x, y));
        }
    }
    return texels;
}

int ChannelDiff(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    }
    return worst;
}

// A screen drawn on the real device: its images come out texel for texel where they are
// placed, a cell of a grid and a frame of a stripe, the faded one blended. Images whose frame
// cannot be had draw nothing: a missing texture (its checked line logged once), a stripe frame
// without a source (its index logged once), a frame past the grid.
class ImageDrawTest : public test::GameOnDevice {
protected:
    void SetUp() override {
        GameOnDevice::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        tree_.AddLoose("bg.dds",
                       gfxtest::MakeArgbDds(4, 4, std::vector<std::uint32_t>(16, kBlack)));
        tree_.AddLoose("cells.dds", gfxtest::MakeArgbDds(64, 32, Texels(64, 32, CellTexel)));
        tree_.AddLoose("strip.dds", gfxtest::MakeArgbDds(32, 16, Texels(32, 16, StripTexel)));
        Locator::Instance().Init(tree_.Root().string());
        // The sliders' knobs are drawn with the device's sprite.
        std::shared_ptr<Gfx::Sprite> sprite;
        ASSERT_EQ(device_->CreateSprite(sprite), Gfx::kOk);
        GfxLink::Publish(device_, sprite);
    }

    test::GameTree tree_;
};

TEST_F(ImageDrawTest, ImagesComeOutSharpWhereTheyArePlaced) {
    test::DeclareWalkStripe("strip.dds", 3, 16, 16);
    const auto screen = test::ReadScreen(
        R"(<screen name="s" src="bg.dds">)"
        R"(<image name="cells" tex="cells.dds" frames="2" x="100" y="50" start="b">)"
        R"(<state name="a" frame="1"/><state name="b" frame="2"/></image>)"
        R"(<imagemapped name="walk" tex="walk" x="300" y="60" start="s">)"
        R"(<state name="s" frame="2"/></imagemapped>)"
        R"(<image name="faded" tex="cells.dds" frames="2" x="500" y="50" start="a">)"
        R"(<event name="render">set_opacity(0.5)</event><state name="a" frame="1"/></image>)"
        R"(<image tex="lost.dds" frames="1" start="a"><state name="a" frame="1"/></image>)"
        R"(<image tex="cells.dds" frames="2" start="a"><state name="a" frame="3"/></image>)"
        R"(<imagemapped tex="walk" start="a"><state name="a" frame="3"/></imagemapped>)"
        R"(</screen>)");
    test::LogSince log;
    screen->FireStart();
    ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(device_->Clear(kBlack), Gfx::kOk);
        screen->Render();
    }
    ASSERT_EQ(device_->EndScene(), Gfx::kOk);
    EXPECT_EQ(log.Count("\tOn tex != 0"), 1);
    EXPECT_EQ(log.Count("2"), 1);
    const std::vector<std::uint32_t> frame = ReadBackBuffer();
    const auto at = [&frame](int x, int y) {
        return frame[std::size_t(y) * 1024 + std::size_t(x)];
    };

    int worstCell = 0, worstStrip = 0, worstFaded = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            worstCell = std::max(worstCell, ChannelDiff(at(100 + x, 50 + y), CellTexel(32 + x, y)));
            // Half opacity over black: each channel about halved.
            const std::uint32_t half = kBlack | (CellTexel(x, y) >> 1 & 0x7F7F7Fu);
            worstFaded = std::max(worstFaded, ChannelDiff(at(500 + x, 50 + y), half));
            if (x < 16 && y < 16) {
                worstStrip =
                    std::max(worstStrip, ChannelDiff(at(300 + x, 60 + y), StripTexel(16 + x, y)));
            }
        }
    }
    EXPECT_LE(worstCell, 1) << "the second cell, texel for texel";
    EXPECT_LE(worstStrip, 1) << "the stripe's second frame, texel for texel";
    EXPECT_LE(worstFaded, 2) << "the first cell at half opacity";
    for (const auto& [x, y] :
         {std::pair{99, 50}, {132, 50}, {100, 49}, {100, 82}, {316, 60}, {300, 76}}) {
        EXPECT_EQ(at(x, y), kBlack) << x << "," << y;
    }
}

// Pictures that cannot be had are asked for once per start of their screen, not once per
// frame, and each control says so once: a missing grid texture (at layout), a stripe whose
// frames lie in a missing texture (once for both frames), a slider's
// missing knob (at load), and an image whose start state does not exist. Nothing is drawn.
TEST_F(ImageDrawTest, MissingPicturesAreAskedForOncePerStart) {
    game().texMgr_.LoadList(test::ElementOf(
        R"(<textures><stripe name="lost" src="lost.dds" length="2" width="16" height="16">)"
        R"(<fragment frame="1" length="2" x="0" y="0"/></stripe></textures>)",
        "textures"));
    const struct {
        const char* control;
        const char* line; // the control's own line
        long loads;       // attempts to load the missing texture over two starts
    } cases[] = {
        {R"(<image tex="lost.dds" frames="1" start="a"><state name="a" frame="1"/></image>)",
         "\tOn tex != 0", 1},
        {R"(<imagemapped tex="lost" start="a"><state name="a" frame="1" length="2" delay="20")"
         R"( loop="yes"/></imagemapped>)",
         nullptr, 2},
        {R"(<fader x="0.25" top="0.25" tex="lost.dds"/>)",
         "Fader 'fader0' of state 's' has no knob picture 'lost.dds'; the knob is not drawn", 1},
        {R"(<image tex="cells.dds" frames="2" start="b"><state name="a" frame="1"/></image>)",
         "Image 'image0' of state 's' has no image state 'b' to start in; it is not shown", 0},
    };
    for (const auto& c : cases) {
        test::LogSince log;
        const auto screen = test::ReadScreen(std::string(R"(<screen name="s" src="bg.dds">)") +
                                             c.control + "</screen>");
        for (int start = 0; start < 2; ++start) {
            screen->FireStart();
            ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
            for (int frame = 0; frame < 30; ++frame) {
                ticks_ += 20;
                ASSERT_EQ(device_->Clear(kBlack), Gfx::kOk);
                screen->Render();
            }
            ASSERT_EQ(device_->EndScene(), Gfx::kOk);
            screen->FireStop();
        }
        EXPECT_EQ(log.Count("Failed to load texture 'lost.dds'"), c.loads) << c.control;
        if (c.line != nullptr) {
            EXPECT_EQ(log.Count(c.line), 1) << c.control;
        }
        const std::vector<std::uint32_t> frame = ReadBackBuffer();
        EXPECT_EQ(std::count(frame.begin(), frame.end(), kBlack), long(frame.size())) << c.control;
    }
}

} // namespace
