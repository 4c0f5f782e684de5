// Mounting: damaged directories are refused as a whole, names repeated in one pack, and
// packs outside the data folder kept in tables of their own.

#include "AllocationWatch.h"
#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "FileSystemFixture.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::string Scrambled(std::string bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(c ^ 0xA7);
    }
    return bytes;
}

std::string ReadEntry(Locator& locator, const std::string& location) {
    const auto stream = locator.OpenLocation(location);
    if (stream == nullptr) {
        return "<none>";
    }
    std::string out(static_cast<std::size_t>(stream->GetLength()), '\0');
    stream->Read(out.data(), out.size());
    return out.substr(0, stream->LastRead());
}

struct Damaged {
    const char* what;
    std::string bytes;
};

std::vector<Damaged> DamagedPacks() {
    const std::string one = test::U32(1) + "x" + test::U32(0) + test::U32(4);
    return {
        {"three bytes", "KVP"},
        {"empty file", ""},
        {"count 0xFFFFFFFF", test::RawPack(0xFFFFFFFF, {{"x", 1, 0, 4}}, Scrambled("evil"))},
        {"name length 0xFFFFFFFF", test::RawPack(1, {{"x", 0xFFFFFFFF, 0, 4}}, Scrambled("evil"))},
        {"data past the end", test::RawPack(1, {{"x", 1, 0, 5}}, Scrambled("evil"))},
        {"offset past the end", test::RawPack(1, {{"x", 1, 1, 4}}, Scrambled("evil"))},
        {"offset wrapping 32 bits",
         test::RawPack(1, {{"x", 1, 0xFFFFFFFF - 16, 20}}, Scrambled("evil"))},
        {"cut in the middle of the directory",
         test::RawPack(2, {{"a", 1, 0, 0}}, "") + test::U32(1) + "x" + test::U32(0)},
        {"second entry damaged after a good first",
         test::RawPack(2, {{"x", 1, 0, 4}, {"y", 1, 0, 99}}, Scrambled("evil"))},
    };
}

TEST(PackMount, DamagedDirectoriesAreRefusedAndChangeNothing) {
    test::GameTree tree;
    tree.AddPack("a.kpk", {{"x", "good"}});
    Locator locator;
    locator.Init(tree.Root().string());
    const std::string dataPack = (tree.Data() / "a.kpk").string();
    const std::string save = (tree.Save() / "save_1.kgs").string();
    std::filesystem::create_directories(tree.Save());
    test::WriteFile(save, test::RawPack(1, {{"x", 1, 0, 4}}, Scrambled("mine")));
    ASSERT_TRUE(Pack::Mount(save));

    for (const Damaged& d : DamagedPacks()) {
        SCOPED_TRACE(d.what);
        // As a data pack over the shared table, and as a save replacing its own table.
        const std::string bad = (tree.Data() / "bad.kpk").string();
        test::WriteFile(bad, d.bytes);
        const test::LogTail log;
        test::AllocationWatch watch;
        const bool mounted = Pack::Mount(bad, Pack::Table::Data);
        const std::size_t largest = watch.Largest();
        EXPECT_FALSE(mounted);
        EXPECT_LE(largest, std::max<std::size_t>(d.bytes.size(), 1024));
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"Bad pack '" + bad + "'"});
        EXPECT_EQ(ReadEntry(locator, dataPack + "#kpk:x"), "good");

        test::WriteFile(save + ".new", d.bytes);
        std::filesystem::rename(save + ".new", save);
        EXPECT_FALSE(Pack::Mount(save));
        EXPECT_EQ(ReadEntry(locator, save + "#kpk:x"), "mine");
    }
}

TEST(PackMount, MissingFileIsRefused) {
    test::TempDir dir;
    const test::LogTail log;
    const std::string path = (dir / "none.kpk").string();
    EXPECT_FALSE(Pack::Mount(path, Pack::Table::Data));
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Bad pack '" + path + "'"});
}

TEST(PackMount, NameRepeatedInOnePackKeepsItsLastEntry) {
    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string());
    const std::string path = (tree.Data() / "dup.kpk").string();
    test::WriteFile(path,
                    test::RawPack(2, {{"x", 1, 0, 5}, {"x", 1, 5, 4}}, Scrambled("firstlast")));
    ASSERT_TRUE(Pack::Mount(path));
    EXPECT_EQ(ReadEntry(locator, path + "#kpk:x"), "last");
}

TEST(PackMount, SavesResolveOnlyInTheirOwnTable) {
    test::GameTree tree;
    tree.AddPack("data.kpk", {{"gfx/a.dds", "from the data pack"}});
    Locator locator;
    locator.Init(tree.Root().string());
    std::filesystem::create_directories(tree.Save());
    ASSERT_TRUE(Pack::Write({{"data", test::Bytes("<game/>")},
                             {"info", test::Bytes("one")},
                             {"gfx/a.dds", test::Bytes("injected")}},
                            locator.SavePath(1)));
    ASSERT_TRUE(Pack::Write({}, locator.SavePath(2)));
    ASSERT_TRUE(Pack::Mount(locator.SavePath(1)));
    ASSERT_TRUE(Pack::Mount(locator.SavePath(2)));

    EXPECT_EQ(ReadEntry(locator, locator.SavePath(1) + "#kpk:info"), "one");
    EXPECT_EQ(ReadEntry(locator, locator.SavePath(2) + "#kpk:data"), "<none>");
    EXPECT_EQ(ReadEntry(locator, locator.SavePath(2) + "#kpk:info"), "<none>");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(locator.ReadAll("gfx\\a.dds", bytes));
    EXPECT_EQ(test::Text(bytes), "from the data pack");
    // A save that was never mounted is mounted when one of its entries is asked for.
    ASSERT_TRUE(Pack::Write({{"data", test::Bytes("three")}}, locator.SavePath(3)));
    EXPECT_EQ(ReadEntry(locator, locator.SavePath(3) + "#kpk:data"), "three");
}

} // namespace
