#include "Platform/Gfx/Dds.h"
#include "Platform/Gfx/Image.h"
#include "SoundGen/Synth.h"
#include "SoundGen/WaveWriter.h"
#include "TextureGenerator/Dds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

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
