#include "../../Platform/Gfx/GfxTestSupport.h"
#include "FileSystem/Locator.h"
#include "Game/DirectX.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/PngFile.h"
#include "support/Devices.h"
#include "support/Pictures.h"
#include "support/TestSupport.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// A one-row atlas of 48x48 cells in the given colours, transparent elsewhere.
std::string Atlas(const std::vector<std::uint32_t>& colours) {
    std::vector<std::uint32_t> texels(128 * 64, 0);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48 * static_cast<int>(colours.size()); ++x) {
            texels[static_cast<std::size_t>(y * 128 + x)] =
                colours[static_cast<std::size_t>(x / 48)];
        }
    }
    return gfxtest::MakeArgbDds(128, 64, texels);
}

// The devices on SDL's offscreen driver and a game on a hand-driven clock whose inventory
// has items "key" (red) and "candle" (green), a book "diary" (yellow) and a half-transparent
// blue bar background.
class InventoryDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path data = root_.Path() / "Data";
        fs::create_directories(data);
        test::WriteFile(data / "items.dds", Atlas({0xFFFF0000, 0xFF00FF00}));
        test::WriteFile(data / "books.dds", Atlas({0xFFFFFF00}));
        test::WriteFile(
            data / "bar.dds",
            gfxtest::MakeArgbDds(1024, 64, std::vector<std::uint32_t>(1024 * 64, 0x800000FF)));
        test::WriteFile(data / "hints.txt", "candle:A candle\n");
        Locator::Instance().Init(root_.Path().string());
        std::string error;
        dx_ = test::OpenDevices(error);
        if (!dx_) {
            GTEST_SKIP() << "no devices: " << error;
        }
        game_ = std::make_unique<ScopedGlobal<Game>>(g_game, [this] {
            return new Game(Game::Environment{[this] { return ticks_.load(); }, {}});
        });
        game().cursor_.Load(XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString(
                R"(<korvantine><cursor tex="c"><context index="0" name=""/>)"
                R"(<context index="1" name="do"/><context index="2" name="candle"/></cursor></korvantine>)")),
            "cursor"));
        inv().Load(XmlDom::Root(XmlDom::LoadString(
            R"(<korvantine><inventory tex="items.dds" back="bar.dds" hints="hints.txt">)"
            R"(<item name="key" index="0"/><item name="candle" index="1"/></inventory>)"
            R"(<library tex="books.dds"><book name="diary" index="0"><page name="p1"/></book>)"
            R"(</library></korvantine>)")));
        inv().Put("key");
        inv().Put("candle");
        inv().LibPut("p1");
    }

    void TearDown() override {
        game_.reset();
        dx_.reset();
    }

    Inventory& inv() { return game().inventory_; }

    // Renders the bars at `now` over a grey frame and reads the frame back.
    std::vector<std::uint32_t> Render(float now) {
        Gfx::Device& device = GfxLink::Device();
        EXPECT_EQ(device.SetRenderTarget(0, device.BackBuffer()), Gfx::kOk);
        EXPECT_EQ(device.Clear(0xFF808080), Gfx::kOk);
        EXPECT_EQ(device.BeginScene(), Gfx::kOk);
        inv().Render(now);
        EXPECT_EQ(device.EndScene(), Gfx::kOk);
        std::vector<std::uint32_t> texels;
        EXPECT_EQ(device.ReadRenderTarget(*device.BackBuffer(), texels), Gfx::kOk);
        return texels;
    }

    Inventory::Entry At(float x, float y) {
        game().cursor_.SetPos(x, y);
        return inv().HitTest();
    }

    test::TempDir root_;
    ScopedGlobal<Opts::Data> opts_{g_opts};
    std::atomic<std::uint64_t> ticks_{5000};
    std::unique_ptr<ScopedGlobal<DirectX>> dx_;
    std::unique_ptr<ScopedGlobal<Game>> game_;
};

// The bars slide in 250 ms; a toggle mid-way turns back from where they are; hits follow
// the openness, the cells from the left edge, the menu corner at the item bar's right end.
TEST_F(InventoryDrawTest, SlideHitsAndClicks) {
    const struct {
        bool toggle;
        float now, openness;
        int state;
    } slides[] = {
        {false, 1000.0f, 0.0f, Inventory::kClosed}, {true, 1125.0f, 0.5f, Inventory::kOpening},
        {true, 1175.0f, 0.3f, Inventory::kClosing}, {false, 1500.0f, 0.0f, Inventory::kClosed},
        {true, 1600.0f, 0.4f, Inventory::kOpening}, {false, 2000.0f, 1.0f, Inventory::kOpen},
    };
    for (const auto& slide : slides) {
        if (slide.toggle) {
            inv().Toggle();
        }
        Render(slide.now);
        EXPECT_NEAR(inv().Openness(), slide.openness, 1e-6f) << slide.now;
        EXPECT_EQ(inv().GetBarState(), slide.state) << slide.now;
        // Points 7.68 and 30.72 pixels above the bottom edge.
        EXPECT_EQ(At(0.01f, 0.99f).first, slide.openness > 0.16f ? Inventory::kItem : 0);
        EXPECT_EQ(At(0.01f, 0.96f).first, slide.openness > 0.62f ? Inventory::kItem : 0);
    }
    const struct {
        float x, y;
        Inventory::Entry entry;
    } hits[] = {
        {0.99f, 0.99f, {Inventory::kMenu, "menu"}},   {0.01f, 0.01f, {Inventory::kBook, "diary"}},
        {0.10f, 0.99f, {Inventory::kNothing, ""}},    {0.06f, 0.01f, {Inventory::kNothing, ""}},
        {0.06f, 0.99f, {Inventory::kItem, "candle"}}, // 61.44 pixels: cell 1
        {0.5f, 0.5f, {Inventory::kNothing, ""}},
    };
    for (const auto& hit : hits) {
        EXPECT_EQ(At(hit.x, hit.y), hit.entry) << hit.x << "," << hit.y;
        EXPECT_EQ(inv().OnClick(), hit.entry.first != Inventory::kNothing) << hit.x << "," << hit.y;
    }
    EXPECT_EQ(game().cursor_.GetContext() + " " + std::to_string(game().cursor_.ItemHeld()),
              "candle 1");
}

// The hint shows once the same entry has stayed under the cursor for more than the hint
// delay; another entry restarts the delay. The picture: the bars with their icons and the
// candle's hint. During a fade the bars are drawn shifted by the fade value while hits
// keep the openness.
TEST_F(InventoryDrawTest, HintDelayPictureAndFade) {
    inv().Toggle();
    Render(0.0f);
    Render(300.0f);
    const struct {
        float x;
        std::uint64_t wait;
        bool shown;
    } hovers[] = {{0.01f, 0, false},
                  {0.01f, 1000, false},
                  {0.01f, 1, true},
                  {0.06f, 0, false},
                  {0.06f, 1001, true}};
    for (const auto& hover : hovers) {
        game().cursor_.SetPos(hover.x, 0.99f);
        ticks_ += hover.wait;
        EXPECT_TRUE(inv().UpdateHover());
        EXPECT_EQ(inv().HintShown(), hover.shown) << hover.x << " " << hover.wait;
    }
    EXPECT_EQ(game().cursor_.GetContext(), "do");

    std::vector<std::uint32_t> frame = Render(400.0f);
    const fs::path actual = root_.Path() / "bars.png";
    ASSERT_TRUE(Gfx::WritePng(actual.string(), 1024, 768, frame));
    EXPECT_TRUE(test::MatchesExpected(
        actual, fs::path(KV_SOURCE_DIR) / "tests/Game/Inventory/expected/bars.png",
        {.channel = 8, .pixels = 40}));

    game().exposure_ = 0.5f;
    frame = Render(410.0f);
    // The key's icon now starts 75 pixels above the bottom edge.
    EXPECT_EQ(frame[static_cast<std::size_t>((768 - 75) * 1024 + 10)] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame[static_cast<std::size_t>((768 - 76) * 1024 + 10)] & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(At(0.01f, 1.0f - 60.0f / 768.0f).first, Inventory::kNothing);
}

} // namespace
