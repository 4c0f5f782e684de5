#include "Game/Log.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Log, KeepsTheLastTenLinesWithoutAFile) {
    Log log("");
    EXPECT_FALSE(log.HasFile());
    EXPECT_EQ(log.Lines(), "");
    for (int i = 1; i <= 11; ++i) {
        log.Write("line " + std::to_string(i));
    }
    std::string expected;
    for (int i = 2; i <= 11; ++i) {
        expected += (i == 2 ? "" : "\n") + std::string("line ") + std::to_string(i);
    }
    EXPECT_EQ(log.Lines(), expected);
}

TEST(Log, ALineHoldingNewlinesIsOneKeptEntry) {
    Log log("");
    for (int i = 0; i < 10; ++i) {
        log.Write("x");
    }
    log.Write("a\nb");
    // Exactly one old entry was dropped: nine "x" remain before the two-line entry.
    EXPECT_EQ(log.Lines(), "x\nx\nx\nx\nx\nx\nx\nx\nx\na\nb");
}

TEST(Log, WritesEveryLineToItsFileTruncatingTheOldOne) {
    test::TempDir dir;
    test::WriteFile(dir / "k.log", "old contents\n");
    {
        Log log((dir / "k.log").string());
        EXPECT_TRUE(log.HasFile());
        log.Write("first");
        log.Write("100% %1% done");
        // Flushed at once: readable before the log is closed.
        EXPECT_EQ(test::ReadFile(dir / "k.log"), "first\n100% %1% done\n");
    }
}

TEST(Log, UnopenableFileLeavesAMemoryOnlyLog) {
    test::TempDir dir;
    testing::internal::CaptureStderr();
    Log log((dir / "no-such-folder" / "k.log").string());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(log.HasFile());
    EXPECT_NE(err.find("Cannot open log file"), std::string::npos);
    log.Write("kept");
    EXPECT_EQ(log.Lines(), "kept");
}

TEST(Log, FormatSubstitutesPositionalPlaceholders) {
    // The process log has no file here (no settings record): only kept lines.
    LogFormat("Loaded texture '%1%' (%2%)", "gfx/a.dds", 3);
    EXPECT_EQ(test::SplitLines(Log::Instance().Lines()).back(), "Loaded texture 'gfx/a.dds' (3)");
}

} // namespace
