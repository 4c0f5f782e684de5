#include "FileSystem/AtomicFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(AtomicFile, ReplacesTheTargetOnlyWhenCommitted) {
    test::TempDir dir;
    const auto path = dir / "file";
    test::WriteFile(path, "old");
    {
        AtomicFile abandoned(path.string());
        ASSERT_TRUE(abandoned.Write(reinterpret_cast<const std::uint8_t*>("new"), 3));
    }
    EXPECT_EQ(test::ReadFile(path), "old");
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));

    EXPECT_TRUE(AtomicFile::WriteWhole(path.string(), "new"));
    EXPECT_EQ(test::ReadFile(path), "new");
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));

    // The target is a folder: the rename fails, the folder stays, nothing is left behind.
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_directory(dir / "folder" / "inner");
    EXPECT_FALSE(AtomicFile::WriteWhole((dir / "folder").string(), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder" / "inner"));
    EXPECT_FALSE(std::filesystem::exists(dir / "folder.tmp"));
    EXPECT_FALSE(AtomicFile::WriteWhole((dir / "none" / "file").string(), "x"));
}

} // namespace
