#include "GfxTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gfxtest {

namespace {

void Put32(std::string& s, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s[offset + i] = char((v >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string MakeDds(uint32_t width, uint32_t height, uint32_t pfFlags, uint32_t fourCC,
                    uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a,
                    const std::string& payload, uint32_t caps2, uint32_t mipCount) {
    std::string s(128, '\0');
    std::memcpy(s.data(), "DDS ", 4);
    Put32(s, 4, 124);
    Put32(s, 8, 0x1007 | (mipCount ? 0x20000 : 0));
    Put32(s, 12, height);
    Put32(s, 16, width);
    Put32(s, 28, mipCount);
    Put32(s, 76, 32);
    Put32(s, 80, pfFlags);
    Put32(s, 84, fourCC);
    Put32(s, 88, bits);
    Put32(s, 92, r);
    Put32(s, 96, g);
    Put32(s, 100, b);
    Put32(s, 104, a);
    Put32(s, 108, 0x1000);
    Put32(s, 112, caps2);
    return s + payload;
}

std::vector<uint32_t> Pattern(size_t count) {
    std::vector<uint32_t> texels(count);
    for (size_t i = 0; i < count; ++i) {
        texels[i] = 0xFF000000u | (uint32_t(i) * 2654435761u >> 8);
    }
    return texels;
}

std::string MakeArgbDds(uint32_t width, uint32_t height, const std::vector<uint32_t>& texels) {
    std::string payload(texels.size() * 4, '\0');
    std::memcpy(payload.data(), texels.data(), payload.size());
    return MakeDds(width, height, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, payload);
}

int ChannelDiff(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    }
    return worst;
}

void DrawScreenTexture(Gfx::Device& device, const std::shared_ptr<Gfx::Texture>& texture,
                       float width, float height) {
    struct RhwColourTex {
        float x, y, z, rhw;
        uint32_t colour;
        float u, v;
    };
    const float x1 = width - 0.5f, y1 = height - 0.5f;
    const RhwColourTex quad[4] = {{-0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 0, 0},
                                  {x1, -0.5f, 0, 1, 0xFFFFFFFF, 1, 0},
                                  {-0.5f, y1, 0, 1, 0xFFFFFFFF, 0, 1},
                                  {x1, y1, 0, 1, 0xFFFFFFFF, 1, 1}};
    ASSERT_EQ(device.SetTexture(0, texture), Gfx::kOk);
    ASSERT_EQ(device.SetFvf(Gfx::FvfXyzRhw | Gfx::FvfDiffuse | Gfx::FvfTex1), Gfx::kOk);
    ASSERT_EQ(device.DrawPrimitiveUp(Gfx::Primitive::TriangleStrip, 2, quad, sizeof(RhwColourTex)),
              Gfx::kOk);
}

} // namespace gfxtest
