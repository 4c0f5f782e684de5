#include "Platform/Gfx/Dds.h"
#include "Platform/Gfx/Image.h"
#include "Platform/Gfx/PngFile.h"
#include "SoundGen/Synth.h"
#include "SoundGen/WaveWriter.h"
#include "TextureGenerator/Cube.h"
#include "TextureGenerator/Dds.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A cube of 16x16 faces: a dark gradient, a hard edge between two colours and a bright spot,
// different on every face.
Dds::Picture TestCube() {
    Dds::Picture cube(16, 16 * 6);
    for (int y = 0; y < cube.height; ++y) {
        for (int x = 0; x < cube.width; ++x) {
            const int face = y / 16, v = y % 16;
            const double t = (x + v) / 30.0;
            cube.At(x, y) = x < 8 ? Dds::Argb(1, 0.05 * t, 0.08 * t, 0.2 * t + face * 0.05)
                                  : Dds::Argb(1, 0.9, 0.6 - face * 0.05, 0.2);
        }
    }
    return cube;
}

int Channel(std::uint32_t argb, int shift) {
    return int(argb >> shift & 0xFF);
}

// Every texel of the picture decoded from the file against the picture's own, per channel.
int LargestError(const std::string& file, const Dds::Picture& picture) {
    Gfx::Image image;
    EXPECT_EQ(Gfx::DecodeDds(file.data(), file.size(), image), 0);
    EXPECT_EQ(image.faces, 6u);
    EXPECT_EQ(image.width, std::uint32_t(picture.width));
    int largest = 0;
    for (std::size_t i = 0; i < picture.argb.size(); ++i) {
        const std::uint8_t* texel = &image.rgba[i * 4];
        for (int c = 0; c < 3; ++c) {
            largest = std::max(largest, std::abs(texel[c] - Channel(picture.argb[i], 16 - 8 * c)));
        }
        EXPECT_EQ(texel[3], 255);
    }
    return largest;
}

// The cube maps read back as they were written: exactly when uncompressed, and within a few
// steps of 5:6:5 quantisation and its dither when compressed, edges and dark gradients
// included.
TEST(GeneratorTest, CubeMapsReadBackAsWritten) {
    const Dds::Picture cube = TestCube();
    EXPECT_EQ(LargestError(Dds::Uncompressed(cube, true), cube), 0);
    const std::string dxt = Dds::Dxt1Cube(cube);
    EXPECT_EQ(dxt.size(), 128u + 6 * 4 * 4 * 8);
    EXPECT_LE(LargestError(dxt, cube), 14);
}

// An author's six pictures become one cube map, face by face in the order named and each the
// way up it was drawn; a face the tool cannot use stops it with status 1 and writes nothing.
TEST(GeneratorTest, SixPicturesMakeACubeMap) {
    test::TempDir dir;
    // Face i: 8x8 of colour 0x10 * (i + 1) in red, with a white texel in its top left corner.
    std::vector<std::string> faces;
    for (std::uint32_t i = 0; i < 6; ++i) {
        std::vector<std::uint32_t> texels(64, 0xFF000000 | (0x10 * (i + 1)) << 16);
        texels[0] = 0xFFFFFFFF;
        faces.push_back((dir / ("f" + std::to_string(i) + ".png")).string());
        ASSERT_TRUE(Gfx::WritePng(faces.back(), 8, 8, texels));
    }
    ASSERT_TRUE(Gfx::WritePng((dir / "wide.png").string(), 8, 4,
                              std::vector<std::uint32_t>(32, 0xFF000000)));
    ASSERT_TRUE(Gfx::WritePng((dir / "small.png").string(), 4, 4,
                              std::vector<std::uint32_t>(16, 0xFF000000)));
    ASSERT_TRUE(Gfx::WritePng((dir / "six.png").string(), 6, 6,
                              std::vector<std::uint32_t>(36, 0xFF000000)));
    test::WriteFile(dir / "text.png", "not a picture");
    const std::vector<std::string> bare = {"f0.png", "f1.png", "f2.png",
                                           "f3.png", "f4.png", "f5.png"};
    const auto with = [&](std::size_t i, const std::string& name) {
        std::vector<std::string> six = faces;
        six[i] = (dir / name).string();
        return six;
    };
    const struct {
        const char* what;
        std::vector<std::string> options, faces;
        int status;
    } cases[] = {
        {"32-bit texels", {}, faces, 0},
        {"DXT1", {"--dxt1"}, faces, 0},
        {"five faces", {}, std::vector<std::string>(faces.begin(), faces.begin() + 5), 2},
        {"a face missing", {}, with(2, "none.png"), 1},
        {"a face that is no picture", {}, with(3, "text.png"), 1},
        {"a face not square", {}, with(4, "wide.png"), 1},
        {"a face of another size", {}, with(5, "small.png"), 1},
        {"DXT1 of faces not a multiple of 4",
         {"--dxt1"},
         std::vector<std::string>(6, (dir / "six.png").string()),
         1},
        {"the guide's command, every name bare", {}, bare, 0},
        {"the guide's command with DXT1", {"--dxt1"}, bare, 0},
    };
    // Run in the pictures' folder, as an author does, with the output named bare.
    struct InFolder {
        const std::filesystem::path before = std::filesystem::current_path();
        explicit InFolder(const std::filesystem::path& folder) {
            std::filesystem::current_path(folder);
        }
        ~InFolder() { std::filesystem::current_path(before); }
    } inFolder(dir.Path());
    for (const auto& c : cases) {
        const std::string out = "cube.dds";
        std::filesystem::remove(out);
        std::vector<std::string> args = c.options;
        args.push_back(out);
        args.insert(args.end(), c.faces.begin(), c.faces.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        EXPECT_EQ(CubeTool::Main(int(argv.size()), argv.data()), c.status) << c.what;
        if (c.status != 0) {
            EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
            continue;
        }
        const std::string file = test::ReadFile(out);
        Gfx::Image cube;
        ASSERT_EQ(Gfx::DecodeDds(file.data(), file.size(), cube), 0) << c.what;
        ASSERT_EQ(cube.faces, 6u);
        ASSERT_EQ(cube.width, 8u);
        for (std::size_t i = 0; i < 6; ++i) {
            const std::uint8_t* face = &cube.rgba[i * cube.FaceBytes()];
            EXPECT_NEAR(face[4 * 9], 0x10 * (i + 1), 8) << c.what << ", face " << i;
            EXPECT_GT(face[1], 0xF0) << c.what << ", the white corner of face " << i;
            EXPECT_LT(face[4 * 9 + 1], 0x10) << c.what << ", face " << i;
        }
    }
}

// A WAVE file of 16-bit PCM: the layout in its format chunk, the samples scaled and clipped.
TEST(GeneratorTest, WaveFilesHoldTheSamples) {
    const std::vector<float> samples = {0.0f, 0.5f, -0.5f, 1.0f, 2.0f, -3.0f};
    const std::string file = WaveWriter::Encode(2, 22050, samples);
    ASSERT_EQ(file.size(), 44u + samples.size() * 2);
    const auto u32 = [&file](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, file.data() + at, 4);
        return v;
    };
    const auto s16 = [&file](std::size_t at) {
        std::int16_t v;
        std::memcpy(&v, file.data() + at, 2);
        return v;
    };
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(u32(4), file.size() - 8);
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(s16(20), 1);          // PCM
    EXPECT_EQ(s16(22), 2);          // channels
    EXPECT_EQ(u32(24), 22050u);     // rate
    EXPECT_EQ(u32(28), 22050u * 4); // bytes per second
    EXPECT_EQ(s16(32), 4);          // block align
    EXPECT_EQ(s16(34), 16);         // bits
    EXPECT_EQ(file.substr(36, 4), "data");
    EXPECT_EQ(u32(40), samples.size() * 2);
    const std::int16_t expected[] = {0, 16384, -16384, 32767, 32767, -32767};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_NEAR(s16(44 + 2 * i), expected[i], 1) << i;
    }
}

// A sound folded into a loop joins its end to its start without a step, and is shorter by
// the fold; normalising sets the loudest sample.
TEST(GeneratorTest, LoopsJoinWithoutAStep) {
    Synth::Buffer buffer(1000, 1, 2.0);
    for (std::size_t i = 0; i < buffer.Frames(); ++i) {
        buffer.At(i, 0) = float(i) / 2000.0f; // a ramp: the worst case for a seam
    }
    buffer.FoldLoop(0.5);
    ASSERT_EQ(buffer.Frames(), 1500u);
    const float seam = std::fabs(buffer.At(0, 0) - buffer.At(1499, 0));
    EXPECT_LT(seam, 0.002f);
    buffer.Normalize(0.25f);
    EXPECT_FLOAT_EQ(*std::max_element(buffer.samples.begin(), buffer.samples.end()), 0.25f);
}

} // namespace
