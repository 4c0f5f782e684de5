#pragma once

#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/System.h"
#include "Platform/Gfx/Texture.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace gfxtest {

// A DDS file in memory: the 128-byte header followed by `payload`.
std::string MakeDds(uint32_t width, uint32_t height, uint32_t pfFlags, uint32_t fourCC,
                    uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a,
                    const std::string& payload, uint32_t caps2 = 0, uint32_t mipCount = 0);
// Opaque texels that differ from their neighbours, for texel-exact comparisons.
std::vector<uint32_t> Pattern(size_t count);
// A 32-bit A8R8G8B8 DDS of 0xAARRGGBB texels, rows top first.
std::string MakeArgbDds(uint32_t width, uint32_t height, const std::vector<uint32_t>& texels);

// The largest difference between two 0xAARRGGBB texels in any channel.
int ChannelDiff(uint32_t a, uint32_t b);
// Draws a texture 1:1 over the top-left width x height pixels of the current target.
void DrawScreenTexture(Gfx::Device& device, const std::shared_ptr<Gfx::Texture>& texture,
                       float width, float height);

// A hidden 1024x768 window on SDL's offscreen driver with the graphics system and device.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The back buffer's texels, 0xAARRGGBB, top row first.
    std::vector<uint32_t> ReadBackBuffer();
    // A new 1024x768 render-target texture and its surface.
    std::shared_ptr<Gfx::Surface> Target(std::shared_ptr<Gfx::Texture>& texture);
    // A file texture of 0xAARRGGBB texels, bound to nothing yet.
    std::shared_ptr<Gfx::Texture> MakeTexture(uint32_t width, uint32_t height,
                                              const std::vector<uint32_t>& texels);

    void* window_ = nullptr;
    std::unique_ptr<Gfx::System> system_;
    std::shared_ptr<Gfx::Device> device_;
};

} // namespace gfxtest
