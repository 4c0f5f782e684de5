#include "../FileSystem/FileSystemFixture.h"
#include "Controls/ControlProbe.h"
#include "FileSystem/Locator.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Texture.h"
#include "States/Screen.h"
#include "support/TestSupport.h"
#include "support/gl/GameOnDevice.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class ScreenDraw : public test::GameOnDevice {
protected:
    void SetUp() override {
        GameOnDevice::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        Locator::Instance().Init(tree_.Root().string());
    }

    // The frame a screen showing `path` draws.
    std::vector<std::uint32_t> Draw(const std::string& path) {
        auto screen = std::make_shared<State::Screen>();
        screen->LoadCommon(test::ElementOf("<screen name=\"s\" src=\"" + path + "\"/>", "screen"),
                           "p");
        screen->FireStart();
        EXPECT_EQ(device_->Clear(0xFF000000), Gfx::kOk);
        screen->Tick();
        screen->FireStop();
        return ReadBackBuffer();
    }

    test::GameTree tree_;
};

// A background of 1024x1024 texels shows its top 768 rows at one texel per pixel, filtered, so
// the texture may keep those rows alone: the frame is the same to the last bit, though every
// texel differs from its neighbours and the rows below differ from those above. Pictures of
// other sizes are kept whole.
TEST_F(ScreenDraw, BackgroundKeptAsTheRowsShownDrawsTheSamePicture) {
    const std::vector<std::uint32_t> texels = gfxtest::Pattern(1024 * 1024);
    tree_.AddLoose("pics/hall.dds", gfxtest::MakeArgbDds(1024, 1024, texels));

    TexMgr& manager = GetTexMgr();
    ASSERT_NE(manager.Simple("pics/hall.dds"), nullptr);
    const std::vector<std::uint32_t> whole = Draw("pics/hall.dds");
    manager.ForgetSimple("pics/hall.dds");

    const std::shared_ptr<Gfx::Texture> kept = manager.Background("pics/hall.dds");
    ASSERT_NE(kept, nullptr);
    Gfx::SurfaceDesc desc;
    ASSERT_EQ(kept->GetLevelDesc(0, desc), Gfx::kOk);
    EXPECT_EQ(desc.width, 1024u);
    EXPECT_EQ(desc.height, 768u);
    const std::vector<std::uint32_t> cropped = Draw("pics/hall.dds");

    ASSERT_EQ(whole.size(), 1024u * 768u);
    EXPECT_TRUE(whole == cropped);
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), texels.begin())) << "one texel per pixel";

    // Any other use needs the whole picture: it is loaded again.
    const std::shared_ptr<Gfx::Texture> again = manager.Simple("pics/hall.dds");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->GetLevelDesc(0, desc), Gfx::kOk);
    EXPECT_EQ(desc.height, 1024u);
    EXPECT_EQ(manager.Background("pics/hall.dds"), again);

    for (const std::uint32_t size : {512u, 2048u}) {
        const std::string path = "pics/p" + std::to_string(size) + ".dds";
        tree_.AddLoose(path, gfxtest::MakeArgbDds(size, size, gfxtest::Pattern(size * size)));
        const std::shared_ptr<Gfx::Texture> texture = manager.Background(path);
        ASSERT_NE(texture, nullptr);
        ASSERT_EQ(texture->GetLevelDesc(0, desc), Gfx::kOk);
        EXPECT_EQ(desc.height, size);
    }
}

} // namespace
