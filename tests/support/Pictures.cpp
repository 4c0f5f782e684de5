#include "support/Pictures.h"

#include "Platform/Gfx/Image.h"
#include "Platform/Gfx/PngFile.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <stdexcept>

namespace test {

namespace fs = std::filesystem;

namespace {

int Channel(std::uint32_t argb, int shift) {
    return int((argb >> shift) & 0xFF);
}

bool Close(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) {
            return false;
        }
    }
    return true;
}

void Write(const fs::path& path, const Picture& picture) {
    fs::create_directories(path.parent_path());
    if (!Gfx::WritePng(path.string(), picture.width, picture.height, picture.argb)) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// Keeps the actual picture and, when the sizes agree, the difference picture; answers
// where they went.
std::string KeepEvidence(const Picture& actual, const fs::path& expected,
                         const Picture& expectedPicture, const std::vector<bool>& differs) {
    const fs::path stem = fs::path(KV_TEST_TMP_DIR).parent_path() / "test-output" / expected.stem();
    Write(stem.string() + ".actual.png", actual);
    if (differs.empty()) {
        return stem.string() + ".actual.png";
    }
    Picture diff{expectedPicture.width, expectedPicture.height, {}};
    for (std::size_t i = 0; i < expectedPicture.argb.size(); ++i) {
        const std::uint32_t dim = (expectedPicture.argb[i] >> 2) & 0x3F3F3F;
        diff.argb.push_back(differs[i] ? 0xFFFF0000u : 0xFF000000u | dim);
    }
    Write(stem.string() + ".diff.png", diff);
    return stem.string() + ".actual.png and " + stem.string() + ".diff.png";
}

} // namespace

Picture LoadPicture(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    Gfx::Image image;
    if (Gfx::DecodeImage(bytes.data(), bytes.size(), image) != 0 || image.faces != 1) {
        throw std::runtime_error("cannot decode " + path.string());
    }
    Picture picture{image.width, image.height, {}};
    picture.argb.resize(std::size_t(image.width) * image.height);
    for (std::size_t i = 0; i < picture.argb.size(); ++i) {
        const std::uint8_t* p = &image.rgba[i * 4];
        picture.argb[i] =
            std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
    return picture;
}

Picture Shrink(const Picture& picture, unsigned scale) {
    if (scale == 0 || picture.width % scale != 0 || picture.height % scale != 0) {
        throw std::invalid_argument("the picture's size is no multiple of the scale");
    }
    Picture small{picture.width / scale, picture.height / scale, {}};
    const unsigned count = scale * scale;
    for (std::uint32_t y = 0; y < small.height; ++y) {
        for (std::uint32_t x = 0; x < small.width; ++x) {
            std::uint32_t out = 0xFF000000u;
            for (int shift : {0, 8, 16}) {
                unsigned sum = 0;
                for (unsigned j = 0; j < scale; ++j) {
                    for (unsigned i = 0; i < scale; ++i) {
                        const std::size_t at =
                            std::size_t(y * scale + j) * picture.width + x * scale + i;
                        sum += unsigned(Channel(picture.argb[at], shift));
                    }
                }
                out |= std::uint32_t((sum + count / 2) / count) << shift;
            }
            small.argb.push_back(out);
        }
    }
    return small;
}

::testing::AssertionResult MatchesExpected(const fs::path& actual, const fs::path& expected,
                                           PictureCompare compare) {
    const Picture got = Shrink(LoadPicture(actual), compare.scale);
    const char* update = std::getenv("KV_UPDATE_EXPECTED");
    if (update != nullptr && std::string(update) == "1") {
        Write(expected, got);
        return ::testing::AssertionSuccess() << "refreshed " << expected.string();
    }
    if (!fs::exists(expected)) {
        return ::testing::AssertionFailure()
               << "no expected picture " << expected.string() << "; the actual one is kept as "
               << KeepEvidence(got, expected, got, {}) << " (KV_UPDATE_EXPECTED=1 adopts it)";
    }
    const Picture want = LoadPicture(expected);
    if (got.width != want.width || got.height != want.height) {
        return ::testing::AssertionFailure()
               << actual.string() << " compares at " << got.width << "x" << got.height
               << ", expected " << want.width << "x" << want.height << "; kept as "
               << KeepEvidence(got, expected, want, {});
    }
    std::vector<bool> differs(got.argb.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < got.argb.size(); ++i) {
        differs[i] = !Close(got.argb[i], want.argb[i], compare.channel);
        count += differs[i] ? 1 : 0;
    }
    if (count <= compare.pixels) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << count << " pixels of " << actual.filename().string() << " differ from "
           << expected.string() << " by more than " << compare.channel << " (allowed "
           << compare.pixels << "); kept as " << KeepEvidence(got, expected, want, differs);
}

} // namespace test
