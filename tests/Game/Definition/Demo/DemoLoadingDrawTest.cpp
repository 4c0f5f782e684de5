#include "FileSystem/Locator.h"
#include "Platform/Audio/AudioTestSupport.h"
#include "Sound/Output.h"
#include "States/Base.h"
#include "support/gl/GameOnDevice.h"

namespace {

// The demo game as the build assembles it, drawn on the real device; its music plays on a
// sound device in manual mode that nothing renders.
class DemoLoadingDrawTest : public test::GameOnDevice {
protected:
    void SetUp() override {
        GameOnDevice::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        opts().nomultithread_ = true;
        Locator::Instance().Init(KV_GAME_DIR);
        Sound::UseDevice(test::ManualDevice());
    }
    void TearDown() override {
        Sound::UseDevice(nullptr);
        GameOnDevice::TearDown();
    }
};

// The title's loading screen shows its progress bar in the trough of its picture, filled as
// far as the load has come: the whole bar once the part is loaded.
TEST_F(DemoLoadingDrawTest, LoadingScreenShowsItsProgressBar) {
    game().Load();
    ASSERT_EQ(game().map_.Current(), "intro_loading");
    const auto state = game().map_.CurrentState();
    ASSERT_EQ(device_->BeginScene(), Gfx::kOk);
    ASSERT_EQ(device_->Clear(0xFF000000u), Gfx::kOk);
    state->Render();
    ASSERT_EQ(device_->EndScene(), Gfx::kOk);
    const std::vector<std::uint32_t> frame = ReadBackBuffer();
    const auto amber = [&frame](int x, int y) {
        const std::uint32_t p = frame[std::size_t(y) * 1024 + std::size_t(x)];
        const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
        return r > 160 && g > 100 && b < r - 60;
    };
    for (int x = 314; x < 710; x += 8) {
        EXPECT_TRUE(amber(x, 652)) << x;
    }
    EXPECT_FALSE(amber(512, 600));
    EXPECT_FALSE(amber(300, 652));
    EXPECT_FALSE(amber(724, 652));
}

} // namespace
