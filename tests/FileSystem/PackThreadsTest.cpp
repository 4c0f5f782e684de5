// Two threads read different entries of one pack through the locator at the same time.

#include "FileSystem/Locator.h"
#include "FileSystemFixture.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(PackThreads, ConcurrentEntryReadsGetExactBytes) {
    std::string a(3000, '\0');
    std::string b(5000, '\0');
    for (std::size_t i = 0; i < b.size(); ++i) {
        b[i] = static_cast<char>('b' + i * 7 % 251);
        a[i % a.size()] = static_cast<char>('a' + i * 7 % 251);
    }
    test::GameTree tree;
    tree.AddPack("data.kpk", {{"gfx/a.dds", a}, {"snd/b.wav", b}});
    Locator locator;
    locator.Init(tree.Root().string());

    const auto reader = [&](const char* name, const std::string& expected, int& mismatches) {
        for (int i = 0; i < 10000; ++i) {
            mismatches += test::Read(locator, name) != expected;
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
