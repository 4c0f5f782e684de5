// The pack's byte layout as written, and reading it back through the file system.

#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "FileSystemFixture.h"

#include <gtest/gtest.h>
#include <wx/stream.h>

namespace {

std::string Scrambled(const std::string& bytes) {
    std::string out = bytes;
    for (char& c : out) {
        c = static_cast<char>(c ^ 0xA7);
    }
    return out;
}

std::string ReadStream(wxInputStream& stream) {
    std::string out(static_cast<std::size_t>(stream.GetLength()), '\0');
    stream.Read(out.data(), out.size());
    EXPECT_EQ(stream.LastRead(), out.size());
    return out;
}

TEST(PackFormat, WritesDirectoryInNameOrderWithScrambledData) {
    test::TempDir dir;
    const std::string path = (dir / "save_1.kgs").string();
    const std::string info("\x3F\xFF\x80\x00", 4);
    const std::string data = "0123456789";
    ASSERT_TRUE(Pack::Write({{"info", test::Bytes(info)}, {"data", test::Bytes(data)}}, path));

    const std::string expected = "KVPK" + test::U32(2) + test::U32(4) + "data" + test::U32(0) +
                                 test::U32(10) + test::U32(4) + "info" + test::U32(10) +
                                 test::U32(4) + Scrambled(data) + Scrambled(info);
    EXPECT_EQ(test::ReadFile(path), expected);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string());
    for (const auto& [name, bytes] : {std::pair{"data", data}, std::pair{"info", info}}) {
        const auto stream = locator.OpenLocation(path + "#kpk:" + name);
        ASSERT_NE(stream, nullptr) << name;
        EXPECT_EQ(ReadStream(*stream), bytes) << name;
    }
}

TEST(PackFormat, PrefixNameSortsFirstAndEmptyEntriesRoundTrip) {
    test::TempDir dir;
    const std::string path = (dir / "p.kpk").string();
    ASSERT_TRUE(Pack::Write({{"ab", test::Bytes("xy")}, {"a", {}}, {"b", test::Bytes("z")}}, path));
    const std::string expected = "KVPK" + test::U32(3) + test::U32(1) + "a" + test::U32(0) +
                                 test::U32(0) + test::U32(2) + "ab" + test::U32(0) + test::U32(2) +
                                 test::U32(1) + "b" + test::U32(2) + test::U32(1) +
                                 Scrambled("xyz");
    EXPECT_EQ(test::ReadFile(path), expected);

    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string());
    const auto empty = locator.OpenLocation(path + "#kpk:a");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetLength(), 0);
    char c = 0;
    EXPECT_EQ(empty->Read(&c, 1).LastRead(), 0u);
    EXPECT_TRUE(empty->Eof());
}

TEST(PackFormat, EmptyPackIsEightBytesAndServesNothing) {
    test::TempDir dir;
    const std::string path = (dir / "empty.kpk").string();
    ASSERT_TRUE(Pack::Write({}, path));
    EXPECT_EQ(test::ReadFile(path), "KVPK" + test::U32(0));
    EXPECT_TRUE(Pack::Mount(path));
    EXPECT_FALSE(Pack::Find(path, "data"));
}

TEST(PackFormat, MagicIsNotCompared) {
    test::TempDir dir;
    const std::string path = (dir / "odd.kpk").string();
    test::WriteFile(path, "ABCD" + test::U32(1) + test::U32(1) + "x" + test::U32(0) + test::U32(2) +
                              Scrambled("hi"));
    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string());
    ASSERT_TRUE(Pack::Mount(path));
    const auto stream = locator.OpenLocation(path + "#kpk:x");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadStream(*stream), "hi");
}

} // namespace
