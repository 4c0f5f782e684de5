#include "GfxTestSupport.h"
#include "Platform/Gfx/Dds.h"
#include "Platform/Gfx/GlTexture.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace Gfx;
using gfxtest::GlTest;

constexpr uint32_t kFourCC = 0x4, kCubeAllFaces = 0xFE00;

struct DxtKind {
    const char* code;
    uint32_t blockBytes;
    Format format;
    GLenum internal;
};

const DxtKind kKinds[] = {
    {"DXT1", 8, Format::Dxt1, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT},
    {"DXT3", 16, Format::Dxt3, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT},
    {"DXT5", 16, Format::Dxt5, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT},
};

// A DDS file of arbitrary blocks (both colour orders of DXT1 among them), `faces` faces.
std::string DxtFile(const DxtKind& kind, uint32_t size, unsigned faces) {
    const size_t blocks = size_t(std::max(1u, size / 4)) * std::max(1u, size / 4) * faces;
    std::string payload(blocks * kind.blockBytes, '\0');
    uint32_t seed = 12345;
    for (char& c : payload) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    uint32_t code = 0;
    std::copy_n(kind.code, 4, reinterpret_cast<char*>(&code));
    return gfxtest::MakeDds(size, size, kFourCC, code, 0, 0, 0, 0, 0, payload,
                            faces == 6 ? kCubeAllFaces : 0);
}

std::shared_ptr<BaseTexture> Load(Device& device, const std::string& file, bool cube) {
    if (cube) {
        std::shared_ptr<CubeTexture> texture;
        EXPECT_EQ(device.CreateCubeTextureFromFileInMemory(file.data(), file.size(), texture), kOk);
        return texture;
    }
    std::shared_ptr<Texture> texture;
    EXPECT_EQ(device.CreateTextureFromFileInMemory(file.data(), file.size(), texture), kOk);
    return texture;
}

// Level 0 of each face as the context holds it: whether compressed, its internal format, and
// its texels read back as R, G, B, A bytes.
struct Held {
    bool compressed = false;
    GLint internal = 0;
    std::vector<uint8_t> rgba;
};

Held Read(BaseTexture& texture) {
    Held held;
    if (texture.PreLoad() != kOk) {
        ADD_FAILURE() << "no upload";
        return held;
    }
    const Internal::TextureData& data = texture.Data();
    const GLenum target = data.Target();
    glBindTexture(target, data.texture);
    const unsigned faces = data.cube ? 6 : 1;
    const size_t faceBytes = size_t(data.desc.width) * data.desc.height * 4;
    held.rgba.resize(faceBytes * faces);
    for (unsigned f = 0; f < faces; ++f) {
        const GLenum face = data.cube ? GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f) : target;
        GLint compressed = 0;
        glGetTexLevelParameteriv(face, 0, GL_TEXTURE_COMPRESSED, &compressed);
        glGetTexLevelParameteriv(face, 0, GL_TEXTURE_INTERNAL_FORMAT, &held.internal);
        held.compressed = compressed != 0;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(face, 0, GL_RGBA, GL_UNSIGNED_BYTE, held.rgba.data() + faceBytes * f);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    return held;
}

int WorstDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int worst = a.size() == b.size() ? 0 : 255;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    }
    return worst;
}

// DXT pictures, flat and cube, stay compressed on a context that samples S3TC, and hold what
// the software decoder makes of them, within the device's rounding of the interpolated colours.
// Drawn, the flat ones give the pixels of the same picture decoded in software.
TEST_F(GlTest, DxtPicturesStayCompressedAndMatchTheSoftwareDecode) {
    std::shared_ptr<Internal::GlContext> context =
        std::static_pointer_cast<BaseTexture>(MakeTexture(4, 4, gfxtest::Pattern(16)))
            ->Data()
            .context;
    if (!context->KeepsDxtBlocks()) {
        GTEST_SKIP() << "the context samples no S3TC textures";
    }
    for (const DxtKind& kind : kKinds) {
        for (const bool cube : {false, true}) {
            SCOPED_TRACE(std::string(kind.code) + (cube ? " cube" : " flat"));
            const std::string file = DxtFile(kind, 64, cube ? 6 : 1);
            Image software;
            ASSERT_EQ(DecodeDds(file.data(), file.size(), software), kOk);

            const std::shared_ptr<BaseTexture> texture = Load(*device_, file, cube);
            ASSERT_TRUE(texture);
            SurfaceDesc desc;
            ASSERT_EQ(texture->GetLevelDesc(0, desc), kOk);
            EXPECT_EQ(desc.format, kind.format);
            EXPECT_EQ(desc.width * 1000 + desc.height, 64064u);
            const Held held = Read(*texture);
            EXPECT_TRUE(held.compressed);
            EXPECT_EQ(held.internal, GLint(kind.internal));
            EXPECT_LE(WorstDiff(held.rgba,
                                std::vector<uint8_t>(software.rgba.data(),
                                                     software.rgba.data() + software.rgba.size())),
                      2);
            if (cube) {
                continue;
            }
            ASSERT_EQ(device_->Clear(0xFF000000), kOk);
            gfxtest::DrawScreenTexture(*device_, std::static_pointer_cast<Texture>(texture), 64,
                                       64);
            const std::vector<uint32_t> drawn = ReadBackBuffer();
            std::vector<uint32_t> expected(64 * 64);
            for (size_t i = 0; i < expected.size(); ++i) {
                const uint8_t* p = software.rgba.data() + i * 4;
                expected[i] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            }
            int worst = 0;
            for (uint32_t y = 0; y < 64; ++y) {
                for (uint32_t x = 0; x < 64; ++x) {
                    worst = std::max(
                        worst, gfxtest::ChannelDiff(drawn[y * 1024 + x], expected[y * 64 + x]));
                }
            }
            EXPECT_LE(worst, 2);
        }
    }
}

// Decoded in software and uploaded as texels: DXT pictures whose sizes are not powers of two
// that are multiples of 4 (they are rounded to powers of two), and every DXT picture once the
// context is told to decode them.
TEST_F(GlTest, DxtPicturesTheBlocksCannotServeAreDecodedInSoftware) {
    struct Case {
        uint32_t size;
        bool software;
        uint32_t expectedSize;
    };
    const Case cases[] = {{2, false, 2}, {12, false, 16}, {64, true, 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string file = DxtFile(kKinds[0], c.size, 1);
        const std::shared_ptr<BaseTexture> first = Load(*device_, file, false);
        ASSERT_TRUE(first);
        if (c.software) {
            first->Data().context->DecodeDxtInSoftware();
            EXPECT_FALSE(first->Data().context->KeepsDxtBlocks());
        }
        const std::shared_ptr<BaseTexture> texture =
            c.software ? Load(*device_, file, false) : first;
        SurfaceDesc desc;
        ASSERT_EQ(texture->GetLevelDesc(0, desc), kOk);
        EXPECT_EQ(desc.format, Format::A8R8G8B8);
        EXPECT_EQ(desc.width, c.expectedSize);
        const Held held = Read(*texture);
        EXPECT_FALSE(held.compressed);
        EXPECT_EQ(held.internal, GLint(GL_RGBA8));
    }
}

} // namespace
