#include "Game/Log.h"
#include "GfxTestSupport.h"
#include "Platform/Gfx/Image.h"

#include <fstream>
#include <stb_image_write.h>
#include <string>
#include <vector>

namespace {

using namespace Gfx;

constexpr size_t kMiB = size_t(1) << 20;

size_t StatusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stoul(line.substr(field.size() + 1));
        }
    }
    ADD_FAILURE() << "no " << field << " in /proc/self/status";
    return 0;
}

// How far the process's resident memory rose above where it stood while `run` ran: the peak is
// reset first (Linux's clear_refs), then read back.
size_t PeakResidentGrowth(const std::function<void()>& run) {
    std::ofstream("/proc/self/clear_refs") << "5";
    const size_t before = StatusKiB("VmRSS");
    run();
    const size_t peak = StatusKiB("VmHWM");
    return peak > before ? (peak - before) * 1024 : 0;
}

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
}

// An 8x8 picture in `format`, whose header then says width x height.
std::string Lying(const std::string& format, uint32_t width, uint32_t height) {
    const std::vector<uint8_t> rgba(8 * 8 * 4, 0x80);
    std::string s;
    const auto put = [&s](size_t at, uint32_t value, int bytes, bool bigEndian) {
        for (int i = 0; i < bytes; ++i) {
            s[at + size_t(i)] = char(value >> (8 * (bigEndian ? bytes - 1 - i : i)));
        }
    };
    if (format == "png") {
        stbi_write_png_to_func(Append, &s, 8, 8, 4, rgba.data(), 32);
        put(16, width, 4, true);
        put(20, height, 4, true);
    } else if (format == "jpg") {
        stbi_write_jpg_to_func(Append, &s, 8, 8, 4, rgba.data(), 90);
        const size_t frame = s.find("\xFF\xC0");
        put(frame + 5, height, 2, true);
        put(frame + 7, width, 2, true);
    } else if (format == "bmp") {
        stbi_write_bmp_to_func(Append, &s, 8, 8, 4, rgba.data());
        put(18, width, 4, false);
        put(22, height, 4, false);
    } else {
        stbi_write_tga_to_func(Append, &s, 8, 8, 4, rgba.data());
        put(12, width, 2, false);
        put(14, height, 2, false);
    }
    return s;
}

std::string Dxt1(uint32_t width, uint32_t height, uint32_t caps2 = 0) {
    return gfxtest::MakeDds(width, height, 0x4, 0x31545844, 0, 0, 0, 0, 0, std::string(64, '\0'),
                            caps2);
}

// Files whose headers claim more than they hold are refused before anything is sized from the
// claim, each with its reason; the memory the read takes stays near what the file holds.
TEST(GfxPictureSize, HeadersThatLieAreRefusedBeforeDecoding) {
    struct Row {
        const char* what;
        std::string file;
        size_t bytes;      // the file's size
        size_t mostMemory; // the most the read may add to the resident memory
        std::string logged;
    };
    const std::string refused = "Picture refused: it claims ";
    const Row rows[] = {
        {"PNG 16384 x 16384", Lying("png", 16384, 16384), 77, 4 * kMiB,
         refused + "16384 x 16384 texels, more than the 8192 x 8192 a picture may hold"},
        {"PNG 32768 x 1", Lying("png", 32768, 1), 77, 4 * kMiB,
         refused + "32768 x 1 texels, more than the 16384 texels a side the device takes"},
        {"PNG 8193 x 4097, stretched to 16384 x 8192", Lying("png", 8193, 4097), 77, 4 * kMiB,
         refused + "8193 x 4097 texels, more than the 8192 x 8192 a picture may hold"},
        {"PNG 4096 x 4096", Lying("png", 4096, 4096), 77, 4 * kMiB,
         refused + "4096 x 4096 texels, more than its 77 bytes can hold"},
        {"JPEG 8192 x 8192", Lying("jpg", 8192, 8192), 0, 4 * kMiB,
         refused + "8192 x 8192 texels, more than its %B bytes can hold"},
        {"BMP 8192 x 8192", Lying("bmp", 8192, 8192), 378, 4 * kMiB,
         refused + "8192 x 8192 texels, more than its 378 bytes can hold"},
        {"TGA 4096 x 4096", Lying("tga", 4096, 4096), 0, 4 * kMiB,
         refused + "4096 x 4096 texels, more than its %B bytes can hold"},
        {"DDS 16384 x 16384", Dxt1(16384, 16384), 192, 4 * kMiB,
         refused + "16384 x 16384 texels, more than the 8192 x 8192 a picture may hold"},
        {"DDS cube of 4096", Dxt1(4096, 4096, 0x200 | 0xFC00), 192, 4 * kMiB,
         refused + "4096 x 4096 texels on each of its 6 faces, more than the 8192 x 8192 a "
                   "picture may hold"},
        {"DDS 1024 x 1024", Dxt1(1024, 1024), 192, 4 * kMiB,
         refused + "1024 x 1024 texels, more than its 192 bytes can hold"},
        {"PNG telling the truth", Lying("png", 8, 8), 77, 4 * kMiB, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.bytes != 0) {
            EXPECT_EQ(row.file.size(), row.bytes);
        }
        Image image;
        int result = 0;
        std::vector<std::string> lines;
        const size_t memory = PeakResidentGrowth([&] {
            LogHold hold;
            result = DecodeImage(row.file.data(), row.file.size(), image);
            lines = hold.Take();
        });
        EXPECT_LE(memory, row.mostMemory);
        std::string logged = row.logged;
        if (const size_t at = logged.find("%B"); at != std::string::npos) {
            logged.replace(at, 2, std::to_string(row.file.size()));
        }
        EXPECT_EQ(result, logged.empty() ? kOk : kErrInvalidData);
        EXPECT_EQ(lines,
                  logged.empty() ? std::vector<std::string>{} : std::vector<std::string>{logged});
    }
}

} // namespace
