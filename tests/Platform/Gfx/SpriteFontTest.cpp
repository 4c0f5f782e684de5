#include "GfxTestSupport.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/Sprite.h"

namespace {

using namespace Gfx;
using gfxtest::GlTest;

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right/bottom exclusive
    bool Empty() const { return right < 0; }
};

// The bounding box of pixels that differ from the background.
Box InkBox(const std::vector<uint32_t>& pixels, uint32_t background) {
    Box box;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (pixels[size_t(y) * 1024 + x] != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box;
}

using GlSprite = GlTest;

TEST_F(GlSprite, DrawsTexelExactAtIntegerPositionsWhenTheBatchEnds) {
    const auto texels = gfxtest::Pattern(32 * 16);
    auto texture = MakeTexture(32, 16, texels);
    std::shared_ptr<Sprite> sprite;
    ASSERT_EQ(device_->CreateSprite(sprite), kOk);
    EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF), kErrInvalidCall);
    ASSERT_EQ(sprite->Begin(SpriteAlphaBlend), kOk);
    EXPECT_EQ(sprite->Begin(SpriteAlphaBlend), kErrInvalidCall);
    const Vector3 position{100, 50, 0};
    const Rect source{8, 4, 24, 12}; // 16x8 from (8,4)
    const Vector3 centre{8, 4, 1};
    const Vector3 second{300, 200, 0};
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, &position, 0xFFFFFFFF), kOk);
    ASSERT_EQ(sprite->Draw(texture, &source, &centre, &second, 0xFFFFFFFF), kOk);
    EXPECT_EQ(sprite->Draw(nullptr, nullptr, nullptr, &second, 0xFFFFFFFF), kOk);
    // Queued, not yet drawn.
    EXPECT_EQ(InkBox(ReadBackBuffer(), 0xFF000000).right, -1);
    ASSERT_EQ(sprite->End(), kOk);
    const auto pixels = ReadBackBuffer();
    int mismatches = 0;
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 32; ++x) {
            mismatches += pixels[(50 + y) * 1024 + 100 + x] != texels[y * 32 + x];
        }
    }
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
            mismatches += pixels[(196 + y) * 1024 + 292 + x] != texels[(4 + y) * 32 + 8 + x];
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(pixels[49 * 1024 + 100], 0xFF000000u);
    EXPECT_EQ(pixels[66 * 1024 + 100], 0xFF000000u);
    // The sprite leaves the device's state as it was.
    uint32_t blend = 1;
    ASSERT_EQ(device_->GetRenderState(RenderState::AlphaBlendEnable, blend), kOk);
    EXPECT_EQ(blend, 0u);
}

TEST_F(GlSprite, ModulatesByColourAndBlendsStraightAlpha) {
    auto texture = MakeTexture(4, 4, std::vector<uint32_t>(16, 0x80FF8000));
    std::shared_ptr<Sprite> sprite;
    ASSERT_EQ(device_->CreateSprite(sprite), kOk);
    ASSERT_EQ(device_->Clear(0xFF0000FF), kOk);
    ASSERT_EQ(sprite->Begin(SpriteAlphaBlend), kOk);
    const Vector3 position{10, 10, 0};
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, &position, 0xFFFFFFFF), kOk);
    const Vector3 faded{20, 10, 0};
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, &faded, 0x00FFFFFF), kOk);
    ASSERT_EQ(sprite->End(), kOk);
    const auto pixels = ReadBackBuffer();
    const uint32_t blended = pixels[11 * 1024 + 11];
    EXPECT_NEAR(int((blended >> 16) & 0xFF), 0x80, 1);
    EXPECT_NEAR(int((blended >> 8) & 0xFF), 0x40, 1);
    EXPECT_NEAR(int(blended & 0xFF), 0x7F, 1);
    EXPECT_EQ(pixels[11 * 1024 + 21], 0xFF0000FFu); // alpha 0 is not drawn
}

class GlFont : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(device_->CreateFont(FontDesc(), font_), kOk);
    }
    Box Draw(const std::string& text, const Rect& rect, uint32_t format, int* height = nullptr) {
        EXPECT_EQ(device_->Clear(0xFF000000), kOk);
        EXPECT_EQ(font_->DrawText(text, -1, rect, format, 0xFFCCCCCC, height), kOk);
        return InkBox(ReadBackBuffer(), 0xFF000000);
    }
    std::shared_ptr<Font> font_;
};

TEST_F(GlFont, CellsAreEightPixelsWideAndSixteenHigh) {
    int height = 0;
    const Box hhh = Draw("HHH", {0, 0, 100, 100}, TextNoClip, &height);
    EXPECT_EQ(height, 16);
    ASSERT_FALSE(hhh.Empty());
    EXPECT_GE(hhh.left, 0);
    EXPECT_LE(hhh.right, 24);
    EXPECT_GE(hhh.right, 22);
    EXPECT_GE(hhh.top, 0);
    // The baseline sits 12 pixels below the top: capitals end on it.
    EXPECT_EQ(hhh.bottom, 12);
    // Every character advances 8 pixels, wide ones too.
    const Box w = Draw("W", {0, 0, 100, 100}, TextNoClip);
    const Box thirdW = Draw("WWW", {0, 0, 100, 100}, TextNoClip);
    EXPECT_EQ(thirdW.right - w.right, 16);
    const Box lines = Draw("H\nH\r\nH\rH", {0, 0, 100, 100}, TextNoClip, &height);
    EXPECT_EQ(height, 64);
    EXPECT_EQ(lines.bottom, 3 * 16 + 12);
}

TEST_F(GlFont, AlignsLinesAndBlocksAndClips) {
    struct Case {
        const char* text;
        Rect rect;
        uint32_t format;
        int left, right, top, bottom; // the cells the text must stay in
    };
    const Case cases[] = {
        {"HH", {0, 0, 100, 100}, TextCenter | TextNoClip, 42, 58, 0, 16},
        {"H\tH", {0, 0, 100, 100}, TextRight | TextNoClip, 84, 100, 0, 16},
        {"H\nH\nH", {0, 0, 100, 100}, TextVCenter | TextNoClip, 0, 8, 26, 74},
        {"HH", {200, 300, 300, 400}, TextBottom | TextRight | TextNoClip, 284, 300, 384, 400},
        {"HHHH", {50, 700, 58, 718}, TextCenter | TextNoClip, 38, 70, 700, 716},
    };
    for (const Case& c : cases) {
        const Box b = Draw(c.text, c.rect, c.format);
        EXPECT_TRUE(b.left >= c.left && b.right <= c.right && b.right >= c.right - 2 &&
                    b.top >= c.top && b.bottom <= c.bottom && b.bottom >= c.bottom - 5)
            << c.text << ": " << b.left << " " << b.top << " " << b.right << " " << b.bottom;
    }
    // Without NoClip the text stays inside its rectangle.
    const Box clipped = Draw("WWWWWW", {0, 0, 20, 8}, TextLeft);
    EXPECT_TRUE(clipped.right <= 20 && clipped.bottom <= 8);
}

TEST(GfxText, DecodesWindows1252) {
    EXPECT_EQ(DecodeCodePage("caf\xe9"), L"caf\u00e9");
    EXPECT_EQ(DecodeCodePage("\x80\x93\x9f"), L"\u20ac\u201c\u0178");
    EXPECT_EQ(DecodeCodePage("plain"), L"plain");
}

} // namespace
