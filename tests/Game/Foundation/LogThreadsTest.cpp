#include "Game/Log.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace {

// Two threads writing at once leave every line intact in the file.
TEST(LogThreads, ConcurrentWritersNeverInterleave) {
    constexpr int kLines = 10000;
    const auto line = [](char who, int i) {
        return std::string(1, who) + " line number " + std::to_string(i) +
               " of the preload worker and the user-interface thread";
    };
    test::TempDir dir;
    std::set<std::string> expected;
    {
        Log log((dir / "t.log").string());
        auto writer = [&](char who) {
            for (int i = 0; i < kLines; ++i) {
                log.Write(line(who, i));
            }
        };
        std::thread a(writer, 'a');
        std::thread b(writer, 'b');
        a.join();
        b.join();
    }
    for (int i = 0; i < kLines; ++i) {
        expected.insert({line('a', i), line('b', i)});
    }
    const std::vector<std::string> lines = test::SplitLines(test::ReadFile(dir / "t.log"));
    ASSERT_EQ(lines.size(), 2u * kLines);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), expected);
}

} // namespace
