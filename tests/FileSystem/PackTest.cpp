// The pack's byte layout; mounting (damaged directories refused as a whole, packs outside the
// data folder kept in tables of their own); and a write that fails part-way.

#include "FileSystem/Pack.h"

#include "AllocationWatch.h"
#include "FileSystem/Locator.h"
#include "FileSystemFixture.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/stream.h>

namespace {

using test::U32;

TEST(PackFormat, WrittenBytesAndTheirReadBack) {
    struct Case {
        Pack::Entries entries;
        std::string expected;
    };
    const std::string info("\x3F\xFF\x80\x00", 4);
    const Case cases[] = {
        // A save: directory in name order, offsets from the end of the directory.
        {{{"info", test::Bytes(info)}, {"data", test::Bytes("0123456789")}},
         "KVPK" + U32(2) + U32(4) + "data" + U32(0) + U32(10) + U32(4) + "info" + U32(10) + U32(4) +
             test::Scrambled("0123456789" + info)},
        // A prefix sorts first; an empty entry takes no bytes.
        {{{"ab", test::Bytes("xy")}, {"a", {}}, {"b", test::Bytes("z")}},
         "KVPK" + U32(3) + U32(1) + "a" + U32(0) + U32(0) + U32(2) + "ab" + U32(0) + U32(2) +
             U32(1) + "b" + U32(2) + U32(1) + test::Scrambled("xyz")},
        {{}, "KVPK" + U32(0)},
    };
    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string());
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = (tree.Root() / ("p" + std::to_string(n++) + ".kpk")).string();
        ASSERT_TRUE(Pack::Write(c.entries, path));
        EXPECT_EQ(test::ReadFile(path), c.expected) << path;
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
        for (const auto& [name, bytes] : c.entries) {
            EXPECT_EQ(test::ReadStream(locator.OpenLocation(path + "#kpk:" + name)),
                      test::Text(bytes));
        }
        EXPECT_EQ(test::ReadStream(locator.OpenLocation(path + "#kpk:none")), "<none>");
    }
}

TEST(PackMount, OddButSoundDirectoriesAreServed) {
    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string());
    // The magic is not compared; a name repeated in one pack keeps its last entry.
    const std::string packs[] = {
        "ABCD" + U32(1) + U32(1) + "x" + U32(0) + U32(4) + test::Scrambled("last"),
        test::RawPack(2, {{"x", 1, 0, 5}, {"x", 1, 5, 4}}, test::Scrambled("firstlast")),
    };
    for (const std::string& bytes : packs) {
        const std::string path = (tree.Data() / "odd.kpk").string();
        test::WriteFile(path, bytes);
        ASSERT_TRUE(Pack::Mount(path));
        EXPECT_EQ(test::ReadStream(locator.OpenLocation(path + "#kpk:x")), "last");
    }
}

TEST(PackMount, DamagedDirectoriesAreRefusedAndChangeNothing) {
    test::GameTree tree;
    tree.AddPack("a.kpk", {{"x", "good"}});
    Locator locator;
    locator.Init(tree.Root().string());
    const std::string dataPack = (tree.Data() / "a.kpk").string();
    const std::string save = (tree.Save() / "save_1.kgs").string();
    std::filesystem::create_directories(tree.Save());
    test::WriteFile(save, test::RawPack(1, {{"x", 1, 0, 4}}, test::Scrambled("mine")));
    ASSERT_TRUE(Pack::Mount(save));

    const std::string evil = test::Scrambled("evil");
    const std::pair<const char*, std::optional<std::string>> damaged[] = {
        {"missing file", std::nullopt},
        {"three bytes", "KVP"},
        {"empty file", ""},
        {"count 0xFFFFFFFF", test::RawPack(0xFFFFFFFF, {{"x", 1, 0, 4}}, evil)},
        {"name length 0xFFFFFFFF", test::RawPack(1, {{"x", 0xFFFFFFFF, 0, 4}}, evil)},
        {"data past the end", test::RawPack(1, {{"x", 1, 0, 5}}, evil)},
        {"offset past the end", test::RawPack(1, {{"x", 1, 1, 4}}, evil)},
        {"offset wrapping 32 bits", test::RawPack(1, {{"x", 1, 0xFFFFFFFF - 16, 20}}, evil)},
        {"cut in the middle of the directory",
         test::RawPack(2, {{"a", 1, 0, 0}}, "") + U32(1) + "x" + U32(0)},
        {"second entry damaged after a good first",
         test::RawPack(2, {{"x", 1, 0, 4}, {"y", 1, 0, 99}}, evil)},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        // As a data pack over the shared table, and as a save replacing its own table.
        const std::string bad = (tree.Data() / "bad.kpk").string();
        std::filesystem::remove(bad);
        if (bytes) {
            test::WriteFile(bad, *bytes);
        }
        const test::LogTail log;
        const std::size_t largest =
            test::LargestAllocation([&] { EXPECT_FALSE(Pack::Mount(bad, Pack::Table::Data)); });
        EXPECT_LE(largest, std::max<std::size_t>(bytes.value_or("").size(), 1024));
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"Bad pack '" + bad + "'"});
        EXPECT_EQ(test::ReadStream(locator.OpenLocation(dataPack + "#kpk:x")), "good");

        if (bytes) {
            test::WriteFile(save + ".new", *bytes);
            std::filesystem::rename(save + ".new", save);
            EXPECT_FALSE(Pack::Mount(save));
            EXPECT_EQ(test::ReadStream(locator.OpenLocation(save + "#kpk:x")), "mine");
        }
    }
}

TEST(PackMount, SavesResolveOnlyInTheirOwnTable) {
    test::GameTree tree("g#1 %41"); // a '#' in the root must not break save locations
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

    EXPECT_EQ(test::ReadStream(locator.OpenLocation(locator.SavePath(1) + "#kpk:info")), "one");
    EXPECT_EQ(test::ReadStream(locator.OpenLocation(locator.SavePath(2) + "#kpk:data")), "<none>");
    EXPECT_EQ(test::ReadStream(locator.OpenLocation(locator.SavePath(2) + "#kpk:info")), "<none>");
    EXPECT_EQ(test::Read(locator, "gfx\\a.dds"), "from the data pack");
    // A save that was never mounted is mounted when one of its entries is asked for.
    ASSERT_TRUE(Pack::Write({{"data", test::Bytes("three")}}, locator.SavePath(3)));
    EXPECT_EQ(test::ReadStream(locator.OpenLocation(locator.SavePath(3) + "#kpk:data")), "three");
}

// Runs Pack::Write in a child process whose files may not grow beyond limit bytes, so the
// write fails after that many bytes as on a full disk. Returns Write's answer.
bool WriteWithSizeLimit(const Pack::Entries& entries, const std::string& path, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit cap{limit, limit};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &cap) != 0 ? 2 : Pack::Write(entries, path) ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "setrlimit failed";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PackWrite, FailureKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = (dir / "save_2.kgs").string();
    ASSERT_TRUE(Pack::Write({{"data", test::Bytes(std::string(300, 'o'))}}, path));
    const std::string before = test::ReadFile(path);

    const Pack::Entries bigger{{"data", test::Bytes(std::string(5000, 'n'))},
                               {"info", test::Bytes("new")}};
    EXPECT_FALSE(WriteWithSizeLimit(bigger, path, 100));
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // The same write with room to spare replaces the file.
    EXPECT_TRUE(WriteWithSizeLimit(bigger, path, 1 << 20));
    EXPECT_NE(test::ReadFile(path), before);
    // A missing folder fails and creates nothing.
    EXPECT_FALSE(Pack::Write(bigger, (dir / "no" / "save_1.kgs").string()));
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

} // namespace
