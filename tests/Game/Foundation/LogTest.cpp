#include "Game/Log.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Without a file (none asked for, or one that cannot be opened) the last ten entries are
// kept; an entry holding newlines is one entry.
TEST(Log, KeepsTheLastTenEntriesWithoutAFile) {
    test::TempDir dir;
    testing::internal::CaptureStderr();
    Log unopenable((dir / "no-such-folder" / "k.log").string());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Cannot open log file"),
              std::string::npos);
    EXPECT_FALSE(unopenable.HasFile());
    unopenable.Write("kept");
    EXPECT_EQ(unopenable.Lines(), "kept");

    Log log("");
    EXPECT_FALSE(log.HasFile());
    EXPECT_EQ(log.Lines(), "");
    for (int i = 1; i <= 10; ++i) {
        log.Write("line " + std::to_string(i));
    }
    log.Write("a\nb");
    EXPECT_EQ(log.Lines(), "line 2\nline 3\nline 4\nline 5\nline 6\nline 7\nline 8\nline 9\n"
                           "line 10\na\nb");
}

TEST(Log, WritesEveryLineToItsFileTruncatingTheOldOne) {
    test::TempDir dir;
    test::WriteFile(dir / "k.log", "old contents\n");
    Log log((dir / "k.log").string());
    EXPECT_TRUE(log.HasFile());
    log.Write("first");
    log.Write("100% %1% done");
    // Flushed at once: readable while the log is open.
    EXPECT_EQ(test::ReadFile(dir / "k.log"), "first\n100% %1% done\n");
}

// Values quoted from files are cut after 80 bytes, never inside a UTF-8 character, and say so.
TEST(Log, LongValuesAreCut) {
    const std::string e = "\xC3\xA9";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {std::string(80, 'a'), std::string(80, 'a')},
        {std::string(81, 'a'), std::string(80, 'a') + "...[81 bytes, cut]"},
        {std::string(79, 'a') + e + "z", std::string(79, 'a') + "...[82 bytes, cut]"},
        {std::string(78, 'a') + e + "z", std::string(78, 'a') + e + "...[81 bytes, cut]"},
        {std::string(3 << 20, '7'), std::string(80, '7') + "...[3145728 bytes, cut]"},
    };
    for (const auto& [value, quoted] : cases) {
        EXPECT_EQ(LogValue(value), quoted) << value.size();
    }
}

TEST(Log, FormatSubstitutesPositionalPlaceholders) {
    LogFormat("Loaded texture '%1%' (%2%)", "gfx/a.dds", 3);
    EXPECT_EQ(test::SplitLines(Log::Instance().Lines()).back(), "Loaded texture 'gfx/a.dds' (3)");
}

} // namespace
