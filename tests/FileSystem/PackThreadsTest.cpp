// Two threads read different entries of one pack through the locator at the same time.

#include "FileSystem/Locator.h"
#include "FileSystemFixture.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

std::string Pattern(char seed, std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<char>(seed + i * 7 % 251);
    }
    return out;
}

TEST(PackThreads, ConcurrentEntryReadsGetExactBytes) {
    test::GameTree tree;
    const std::string a = Pattern('a', 3000);
    const std::string b = Pattern('b', 5000);
    tree.AddPack("data.kpk", {{"gfx/a.dds", a}, {"snd/b.wav", b}});
    Locator locator;
    locator.Init(tree.Root().string());

    constexpr int kReads = 10000;
    const auto reader = [&](const char* name, const std::string& expected, int& mismatches) {
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < kReads; ++i) {
            if (!locator.ReadAll(name, bytes) || test::Text(bytes) != expected) {
                ++mismatches;
            }
        }
    };
    int mismatchesA = 0;
    int mismatchesB = 0;
    std::thread worker(reader, "gfx\\a.dds", std::cref(a), std::ref(mismatchesA));
    reader("snd/b.wav", b, mismatchesB);
    worker.join();
    EXPECT_EQ(mismatchesA, 0);
    EXPECT_EQ(mismatchesB, 0);
}

} // namespace
