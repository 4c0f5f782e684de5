#include "Video/TheoraFile.h"

#include "FileSystem/Locator.h"
#include "Platform/Gfx/Types.h"
#include "VideoFiles.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>
#include <wx/init.h>
#include <wx/mstream.h>

namespace {

using videotest::Yuv;

// Y 16, U and V 128 in the texel layout.
constexpr std::uint32_t kVideoBlack = 0xFF808010u;

class TheoraFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    // A decoder over the bytes, which the test keeps alive.
    std::unique_ptr<TheoraFile> Open(const std::string& bytes) {
        kept_.push_back(bytes);
        const std::string& data = kept_.back();
        return std::make_unique<TheoraFile>(
            "test.ogg", std::make_unique<wxMemoryInputStream>(data.data(), data.size()));
    }

    // The error text of opening the bytes, or "" when they open.
    std::string OpenError(const std::string& bytes) {
        try {
            Open(bytes);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    }

    std::vector<std::string> kept_;
};

// A locked surface in memory of `width` by `height` texels, all `fill`.
struct Texels {
    Texels(std::uint32_t width, std::uint32_t height, std::uint32_t fill)
        : data(std::size_t{width} * height, fill) {
        rect.pitch = static_cast<std::int32_t>(width * 4);
        rect.bits = data.data();
        rect.width = width;
        rect.height = height;
    }
    std::uint32_t At(std::uint32_t x, std::uint32_t y) const { return data[y * rect.width + x]; }

    std::vector<std::uint32_t> data;
    Gfx::LockedRect rect;
};

// The texel holds V, U and Y in its red, green and blue bytes, within the codec's loss.
void ExpectTexel(std::uint32_t texel, Yuv c) {
    EXPECT_EQ(texel >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((texel >> 16) & 0xFF), c.v, 3);
    EXPECT_NEAR(static_cast<int>((texel >> 8) & 0xFF), c.u, 3);
    EXPECT_NEAR(static_cast<int>(texel & 0xFF), c.y, 3);
}

Yuv Ramp(int i) {
    return {static_cast<std::uint8_t>(40 + 5 * i), 90, 200};
}

std::string RampVideo(int frames, bool otherStream = false) {
    TheoraWriter::Params params;
    params.frames = frames;
    params.quality = 63;
    params.otherStream = otherStream;
    return videotest::FlatVideo(params, Ramp);
}

// One frame per 40 ms at 25 frames per second, a burst after a stall, none past the end,
// and the last frame kept; a second logical stream in the file changes nothing.
TEST_F(TheoraFileTest, DecodesFramesAsTimePasses) {
    for (const bool otherStream : {false, true}) {
        auto file = Open(RampVideo(30, otherStream));
        EXPECT_EQ(file->Fps(), 25.0f);
        EXPECT_EQ(file->Width(), 64u);
        EXPECT_EQ(file->Height(), 48u);
        Texels texels(64, 48, 0x12345678);
        file->CopyYUV(texels.rect);
        EXPECT_EQ(texels.data, std::vector<std::uint32_t>(64 * 48, kVideoBlack))
            << "black before the first frame";
        struct {
            float now;
            std::uint32_t frames;
        } const steps[] = {{1000, 0}, {1041, 2}, {1080, 2}, {1081, 3}, {1481, 13}, {9000, 30}};
        for (const auto& step : steps) {
            file->Advance(step.now);
            EXPECT_EQ(file->Frames(), step.frames) << step.now;
        }
        EXPECT_TRUE(file->Eof());
        file->Advance(20000);
        EXPECT_EQ(file->Frames(), 30u);
        file->CopyYUV(texels.rect);
        ExpectTexel(texels.At(31, 20), Ramp(29));
    }
}

// Chroma is shared by 2x2 texels; a surface larger than the frame is black beyond it, a smaller
// one gets only what fits.
TEST_F(TheoraFileTest, CopiesTheFrameClippedToTheSurface) {
    TheoraWriter::Params params;
    params.quality = 63;
    auto file = Open(TheoraWriter::Encode(params, [](int, TheoraWriter::Planes& planes) {
        for (std::uint32_t row = 0; row < planes.height / 2; ++row) {
            for (std::uint32_t col = 0; col < planes.width / 2; ++col) {
                planes.u[row * planes.width / 2 + col] = col < 16 ? 60 : 180;
                planes.v[row * planes.width / 2 + col] = row < 12 ? 70 : 220;
            }
        }
        std::fill(planes.y.begin(), planes.y.end(), 128);
    }));
    file->Advance(1000);
    file->Advance(1100);
    ASSERT_EQ(file->Frames(), 1u); // the only frame
    Texels large(80, 60, 0x12345678);
    file->CopyYUV(large.rect);
    ExpectTexel(large.At(5, 5), {128, 60, 70});
    ExpectTexel(large.At(60, 5), {128, 180, 70});
    ExpectTexel(large.At(5, 40), {128, 60, 220});
    EXPECT_EQ(large.At(64, 0), kVideoBlack);
    EXPECT_EQ(large.At(79, 47), kVideoBlack);
    EXPECT_EQ(large.At(0, 48), kVideoBlack);
    EXPECT_EQ(large.At(79, 59), kVideoBlack);
    Texels small(20, 10, 0);
    file->CopyYUV(small.rect);
    ExpectTexel(small.At(19, 9), {128, 60, 70});
}

TEST_F(TheoraFileTest, FrameRateIsTheWholeQuotientAboveOne) {
    struct {
        std::uint32_t numerator, denominator;
        float fps;
    } const cases[] = {{30000, 1001, 29.0f}, {25, 1, 25.0f}, {1, 2, 0.5f}};
    for (const auto& c : cases) {
        TheoraWriter::Params params;
        params.fpsNumerator = c.numerator;
        params.fpsDenominator = c.denominator;
        EXPECT_EQ(Open(videotest::FlatVideo(params, Ramp))->Fps(), c.fps) << c.numerator;
    }
}

TEST_F(TheoraFileTest, DamagedFilesFailCleanly) {
    const std::string good = RampVideo(3);
    TheoraWriter::Params params;
    params.otherStream = true;
    params.frames = 2;
    // The file's first stream is the other one: kept alone, it leaves no video.
    const std::string otherOnly = TheoraWriter::RewritePackets(videotest::FlatVideo(params, Ramp),
                                                               [](std::int64_t, std::string&) {});
    const auto sized = [&](std::uint32_t blocksWide, std::uint32_t blocksHigh) {
        // The identification header's size fields: blocks (16 bits), then pixels (24 bits).
        return TheoraWriter::RewritePackets(good, [&](std::int64_t number, std::string& packet) {
            const std::uint32_t fields[4][3] = {{10, 2, blocksWide},
                                                {12, 2, blocksHigh},
                                                {14, 3, blocksWide * 16},
                                                {17, 3, blocksHigh * 16}};
            for (const auto& [at, bytes, value] : fields) {
                for (std::uint32_t i = 0; number == 0 && i < bytes; ++i) {
                    packet.at(at + i) = static_cast<char>(value >> (8 * (bytes - 1 - i)));
                }
            }
        });
    };
    struct {
        const char* what;
        std::string bytes;
        const char* error;
    } const cases[] = {
        {"empty", "", "eof searched, terminate..."},
        {"not ogg", std::string(20000, 'x'), "eof searched, terminate..."},
        {"no video stream", otherOnly, "eof searched. terminate..."},
        {"cut in the first pages", good.substr(0, 200), "eof searched, terminate..."},
        {"huge frame", sized(0xFFFF, 0xFFFF), "bad video frame size"},
        {"too wide", sized(257, 3), "bad video frame size"},
        {"headers repacked", sized(4, 3), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenError(c.bytes), c.error) << c.what;
    }
}

// A file cut inside its frames plays what it holds and ends.
TEST_F(TheoraFileTest, TruncatedFramesEndThePicture) {
    TheoraWriter::Params params;
    params.frames = 40;
    // Noise keeps every frame large, so the cut leaves some whole frames and drops others.
    const std::string good =
        TheoraWriter::Encode(params, [](int index, TheoraWriter::Planes& planes) {
            for (std::size_t i = 0; i < planes.y.size(); ++i) {
                planes.y[i] = static_cast<std::uint8_t>((i * 2654435761u + index * 40503u) >> 13);
            }
        });
    auto file = Open(good.substr(0, good.size() * 2 / 3));
    file->Advance(1000);
    file->Advance(100000);
    EXPECT_TRUE(file->Eof());
    EXPECT_GT(file->Frames(), 0u);
    EXPECT_LT(file->Frames(), 40u);
}

// A frame that fails to decode ends the film there, once: the last good frame stays.
TEST_F(TheoraFileTest, AFrameThatFailsToDecodeEndsTheFilm) {
    auto file = Open(
        TheoraWriter::RewritePackets(RampVideo(10), [](std::int64_t number, std::string& packet) {
            if (number == 3 + 6) { // frame 6 becomes a header packet
                packet.at(0) = static_cast<char>(packet.at(0) | 0x80);
            }
        }));
    file->Advance(1000);
    EXPECT_THAT([&] { file->Advance(2000); }, testing::ThrowsMessage<std::runtime_error>(
                                                  "error during theora_decode_packetin..."));
    EXPECT_EQ(file->Frames(), 6u);
    EXPECT_TRUE(file->Eof());
    EXPECT_NO_THROW(file->Advance(5000));
    EXPECT_EQ(file->Frames(), 6u);
    Texels texels(64, 48, 0);
    file->CopyYUV(texels.rect);
    ExpectTexel(texels.At(10, 10), Ramp(5));
}

// Before the video's stream begins, another stream whose first page ends inside its first
// packet: it gives no packet yet, so it is no video, and the video after it is found.
TEST_F(TheoraFileTest, AStreamWithoutAWholeFirstPacketIsPassedOver) {
    const std::string crafted =
        test::ReadFile(std::filesystem::path(KV_SOURCE_DIR) / "fuzz" / "Video" / "corpus" /
                       "first-page-ends-inside-its-packet.ogg");
    // Its pages opening two streams, without the page that ends the second one's packet.
    const std::size_t opening = 27 + 1 + 42 + 27 + 1 + 255;
    ASSERT_GT(crafted.size(), opening);
    EXPECT_EQ(OpenError(crafted), "eof searched. terminate...");
    auto file = Open(crafted.substr(0, opening) + RampVideo(3));
    file->Advance(1000);
    file->Advance(2000);
    EXPECT_EQ(file->Frames(), 3u);
}

TEST_F(TheoraFileTest, AFileTheLocatorCannotOpenFailsLikeAnEmptyOne) {
    test::TempDir root;
    Locator::Instance().Init(root.Path().string());
    EXPECT_THAT([] { TheoraFile("video/none.ogg"); },
                testing::ThrowsMessage<std::runtime_error>("eof searched, terminate..."));
}

} // namespace
