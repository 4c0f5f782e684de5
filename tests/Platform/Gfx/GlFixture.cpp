#include "GfxTestSupport.h"

#include <SDL.h>
#include <cstdlib>

namespace gfxtest {

void GlTest::SetUp() {
    if (std::getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        GTEST_SKIP() << "no video driver: " << SDL_GetError();
    }
    Gfx::System::PrepareWindow();
    SDL_Window* window =
        SDL_CreateWindow("gfx test", 0, 0, 1024, 768, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        GTEST_SKIP() << "no OpenGL window: " << SDL_GetError();
    }
    window_ = window;
    system_ = Gfx::System::Create(reinterpret_cast<Gfx::NativeWindow*>(window));
    ASSERT_TRUE(system_);
    Gfx::Caps caps;
    if (system_->GetDeviceCaps(caps) != Gfx::kOk || caps.pixelShaderMajor < 2) {
        GTEST_SKIP() << "no OpenGL 3.3 core context";
    }
    Gfx::PresentParams params;
    params.windowed = true;
    ASSERT_EQ(system_->CreateDevice(Gfx::BehaviourHardwareVertexProcessing, params, device_),
              Gfx::kOk);
}

void GlTest::TearDown() {
    device_.reset();
    system_.reset();
    if (window_ != nullptr) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
    }
}

std::vector<uint32_t> GlTest::ReadBackBuffer() {
    std::vector<uint32_t> texels;
    EXPECT_EQ(device_->ReadRenderTarget(*device_->BackBuffer(), texels), Gfx::kOk);
    return texels;
}

std::shared_ptr<Gfx::Surface> GlTest::Target(std::shared_ptr<Gfx::Texture>& texture) {
    std::shared_ptr<Gfx::Surface> surface;
    EXPECT_EQ(device_->CreateTexture(1024, 768, 1, Gfx::UsageRenderTarget, Gfx::Format::X8R8G8B8,
                                     Gfx::Pool::Default, texture),
              Gfx::kOk);
    if (texture) {
        EXPECT_EQ(texture->GetSurfaceLevel(0, surface), Gfx::kOk);
    }
    return surface;
}

std::shared_ptr<Gfx::Texture> GlTest::MakeTexture(uint32_t width, uint32_t height,
                                                  const std::vector<uint32_t>& texels) {
    const std::string dds = MakeArgbDds(width, height, texels);
    std::shared_ptr<Gfx::Texture> texture;
    EXPECT_EQ(device_->CreateTextureFromFileInMemory(dds.data(), dds.size(), texture), Gfx::kOk);
    return texture;
}

} // namespace gfxtest
