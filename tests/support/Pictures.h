#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace test {

// A decoded picture: 0xAARRGGBB texels, top row first.
struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> argb;
};

// Decodes an image file (PNG and the rest the engine reads); throws std::runtime_error when
// it cannot be read or decoded.
Picture LoadPicture(const std::filesystem::path& path);

struct PictureCompare {
    // The largest difference of one colour channel that still counts as equal.
    int channel = 0;
    // How many pixels may differ by more.
    std::size_t pixels = 0;
    // The expected picture is kept at 1/scale of the actual size and compared with the
    // averages of the actual's scale x scale blocks: frames full of film grain stay small.
    unsigned scale = 1;
};

// Averages each scale x scale block of the picture (rounded); the size must divide.
Picture Shrink(const Picture& picture, unsigned scale);

// Whether the picture file `actual` matches the expected picture file: same size (after
// the shrink), and at most compare.pixels pixels with a channel further off than
// compare.channel. On a mismatch the (shrunk) actual picture and a difference picture (the
// differing pixels red over the expected one, dimmed) are kept as <expected name>.actual.png
// and .diff.png in the build tree's test-output folder, and the message says where. With
// KV_UPDATE_EXPECTED=1 in the environment the (shrunk) actual picture replaces the expected
// one instead, and the check passes.
::testing::AssertionResult MatchesExpected(const std::filesystem::path& actual,
                                           const std::filesystem::path& expected,
                                           PictureCompare compare = {});

} // namespace test
