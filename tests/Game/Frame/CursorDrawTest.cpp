#include "../../Platform/Gfx/GfxTestSupport.h"
#include "Game/Cursor.h"
#include "Game/XmlDom.h"
#include "Platform/Gfx/Sprite.h"

#include <vector>

namespace {

class CursorDrawTest : public gfxtest::GlTest {
protected:
    // A 256x64 atlas (textures keep power-of-two sizes) of three 48x48 cells: red, green,
    // blue, each with a white hot-spot texel; transparent elsewhere.
    std::shared_ptr<Gfx::Texture> Atlas() {
        const std::uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
        std::vector<std::uint32_t> texels(256 * 64, 0);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 3 * 48; ++x) {
                const bool hot = x % 48 == Cursor::kHotSpot && y == Cursor::kHotSpot;
                texels[y * 256 + x] = hot ? 0xFFFFFFFF : colours[x / 48];
            }
        }
        return MakeTexture(256, 64, texels);
    }

    void Draw(const Cursor& cursor, const std::shared_ptr<Gfx::Texture>& atlas) {
        ASSERT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
        ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
        ASSERT_EQ(sprite_->Begin(Gfx::SpriteAlphaBlend), Gfx::kOk);
        cursor.Draw(*sprite_, atlas);
        ASSERT_EQ(sprite_->End(), Gfx::kOk);
        ASSERT_EQ(device_->EndScene(), Gfx::kOk);
        frame_ = ReadBackBuffer();
    }

    // A cursor whose context "x" selects cell `index`.
    static XmlDom::Element CursorElement(const std::string& index) {
        return XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString(R"(<korvantine><cursor tex="a"><context index=")" +
                                            index + R"(" name="x"/></cursor></korvantine>)")),
            "cursor");
    }

    std::uint32_t At(int x, int y) const { return frame_[y * 1024 + x]; }

    void SetUp() override {
        GlTest::SetUp();
        if (!IsSkipped() && device_) {
            ASSERT_EQ(device_->CreateSprite(sprite_), Gfx::kOk);
        }
    }
    void TearDown() override {
        sprite_.reset();
        GlTest::TearDown();
    }

    std::shared_ptr<Gfx::Sprite> sprite_;
    std::vector<std::uint32_t> frame_;
};

// The selected cell is drawn with its hot spot on the pointer's pixel (at the top left
// corner, on the screen's corner); cell indices far outside the atlas draw some rectangle
// without overflowing or failing.
TEST_F(CursorDrawTest, HotSpotOfTheSelectedCellLiesOnThePointer) {
    const auto atlas = Atlas();
    Cursor cursor;
    cursor.Load(CursorElement("1"));
    cursor.SetPos(0.5f, 0.5f);
    Draw(cursor, atlas);
    EXPECT_EQ(At(512, 384), 0xFFFFFFFFu);
    EXPECT_EQ(At(512 - 25, 384 - 25), 0xFFFF0000u) << "cell 0 before any context";
    EXPECT_EQ(At(512 - 26, 384), 0xFF000000u);
    EXPECT_EQ(At(512 + 22, 384 + 22), 0xFFFF0000u);
    EXPECT_EQ(At(512 + 23, 384), 0xFF000000u);
    cursor.SetContext("x", false);
    cursor.SetPos(0.0f, 0.0f);
    Draw(cursor, atlas);
    EXPECT_EQ(At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(22, 22), 0xFF00FF00u);
    EXPECT_EQ(At(23, 23), 0xFF000000u);

    for (const char* index : {"-1", "50000000", "2147483647", "-2147483648"}) {
        Cursor extreme;
        extreme.Load(CursorElement(index));
        extreme.SetContext("x", false);
        Draw(extreme, atlas);
    }
}

} // namespace
