// The locator's search: loose files, then packs, then ZIP archives; its path rules; and
// its fixed paths.

#include "FileSystem/Locator.h"

#include "FileSystem/Pack.h"
#include "FileSystemFixture.h"

#include <gtest/gtest.h>
#include <wx/stream.h>

namespace {

std::string Read(Locator& locator, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    return locator.ReadAll(path, bytes) ? test::Text(bytes) : "<none>";
}

TEST(Locator, LooseBeatsPackBeatsZipAndTheLastPackInNameOrderWins) {
    test::GameTree tree;
    tree.AddLoose("t/loose.txt", "loose");
    tree.AddPack("B.KPK", {{"t/loose.txt", "pack B"}, {"t/x.txt", "pack B"}});
    tree.AddPack("a.kpk", {{"t/x.txt", "pack a"}, {"t/pack.txt", "pack a"}, {"t/a.txt", "only a"}});
    tree.AddPack("c.kpk.bak", {{"t/x.txt", "not a pack"}});
    tree.AddPack(".hidden.kpk", {{"t/x.txt", "hidden"}});
    tree.AddZip("z.kpz", {{"t/pack.txt", "zip"}, {"t/zip.txt", "zip only"}});
    tree.AddZip("Y.KPZ", {{"t/zip.txt", "zip Y"}, {"t/y.txt", "zip Y only"}});
    Locator locator;
    locator.Init(tree.Root().string());

    struct Case {
        const char* path;
        const char* expected;
    };
    // Case-insensitive name order: a.kpk, then B.KPK (mounted last, so it wins); Y.KPZ,
    // then z.kpz (searched first to last).
    const Case cases[] = {
        {"t/loose.txt", "loose"}, {"t\\x.txt", "pack B"}, {"t/a.txt", "only a"},
        {"t/pack.txt", "pack a"}, {"t/zip.txt", "zip Y"}, {"t/y.txt", "zip Y only"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(locator, c.path), c.expected) << c.path;
    }
    // A name asked for through a location naming another data pack is still served.
    const auto stream = locator.OpenLocation((tree.Data() / "a.kpk").string() + "#kpk:t/x.txt");
    ASSERT_NE(stream, nullptr);
    std::string bytes(6, '\0');
    EXPECT_EQ(stream->Read(bytes.data(), bytes.size()).LastRead(), 6u);
    EXPECT_EQ(bytes, "pack B");
}

TEST(Locator, MissesAndRefusedPathsLogOneLineEach) {
    test::GameTree tree;
    tree.AddLoose("t/a.txt", "a");
    test::WriteFile(tree.Root() / "Bin" / "korvantine.cfg", "secret");
    tree.AddPack("p.kpk", {{"t/p.txt", "p"}});
    Locator locator;
    locator.Init(tree.Root().string());
    for (const std::string path :
         {"t/none.txt", "../Bin/korvantine.cfg", "t\\..\\..\\Bin\\korvantine.cfg", "/etc/passwd",
          "\\etc\\passwd", "C:\\x.txt", "t", ""}) {
        const test::LogTail log;
        EXPECT_EQ(locator.Open(path), nullptr) << path;
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"Cannot open file '" + path + "'"});
    }
    const test::LogTail log;
    EXPECT_EQ(locator.OpenLocation(tree.Save().string() + "/save_1.kgs#kpk:data"), nullptr);
    EXPECT_EQ(Read(locator, "./t/a.txt"), "a");
    EXPECT_TRUE(log.Lines().empty());
}

TEST(Locator, LooseFilesIgnoreCaseWhilePackEntriesDoNot) {
    test::GameTree tree;
    tree.AddLoose("Gfx/A.DDS", "loose A");
    tree.AddLoose("Gfx/b.dds", "loose b");
    tree.AddLoose("Gfx/B.DDS", "loose B");
    tree.AddPack("p.kpk", {{"gfx/c.dds", "pack c"}});
    Locator locator;
    locator.Init(tree.Root().string());
    EXPECT_EQ(Read(locator, "gfx\\a.dds"), "loose A");
    EXPECT_EQ(Read(locator, "GFX/B.dds"), "loose B"); // byte order picks "B.DDS" over "b.dds"
    EXPECT_EQ(Read(locator, "Gfx/b.dds"), "loose b"); // the exact name first
    EXPECT_EQ(Read(locator, "gfx\\c.dds"), "pack c");
    EXPECT_EQ(Read(locator, "Gfx/c.dds"), "<none>");
}

TEST(Locator, EmptyFileReadsAsEmpty) {
    test::GameTree tree;
    tree.AddLoose("empty.txt", "");
    tree.AddPack("p.kpk", {{"empty.bin", ""}});
    Locator locator;
    locator.Init(tree.Root().string());
    for (const char* path : {"empty.txt", "empty.bin"}) {
        std::vector<std::uint8_t> bytes{1, 2};
        EXPECT_TRUE(locator.ReadAll(path, bytes)) << path;
        EXPECT_TRUE(bytes.empty()) << path;
    }
}

TEST(Locator, FixedPathsFollowTheRoot) {
    test::GameTree tree;
    Locator locator;
    locator.Init(tree.Root().string() + "/");
    const std::string root = tree.Root().string();
    EXPECT_EQ(locator.DataPath("gfx\\common\\noise.dds"), root + "/Data/gfx/common/noise.dds");
    EXPECT_EQ(locator.SaveDir(), root + "/Save");
    EXPECT_FALSE(std::filesystem::exists(locator.SaveDir()));
    EXPECT_EQ(locator.SavePath(3), root + "/Save/save_3.kgs");
    EXPECT_EQ(locator.OptionsPath(), root + "/Bin/korvantine.cfg");
}

TEST(Locator, RootWithHashAndPercentServesEverySource) {
    test::GameTree tree("g#1 %41");
    tree.AddLoose("t/loose.txt", "loose");
    tree.AddLoose("t/a%20#b.txt", "loose odd");
    tree.AddPack("p.kpk", {{"t/pack.txt", "pack"}, {"t/c#d:e.txt", "pack odd"}});
    tree.AddZip("z.kpz", {{"t/zip.txt", "zip"}});
    Locator locator;
    locator.Init(tree.Root().string());
    EXPECT_EQ(Read(locator, "t/loose.txt"), "loose");
    EXPECT_EQ(Read(locator, "t/a%20#b.txt"), "loose odd");
    EXPECT_EQ(Read(locator, "t/pack.txt"), "pack");
    EXPECT_EQ(Read(locator, "t/c#d:e.txt"), "pack odd");
    EXPECT_EQ(Read(locator, "t/zip.txt"), "zip");
    std::filesystem::create_directories(tree.Save());
    ASSERT_TRUE(Pack::Write({{"data", test::Bytes("saved")}}, locator.SavePath(1)));
    const auto save = locator.OpenLocation(locator.SavePath(1) + "#kpk:data");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->GetLength(), 5);
}

TEST(Locator, DemoGameTreeUsesEveryLookupPath) {
    Locator locator;
    locator.Init(KV_GAME_DIR);
    EXPECT_EQ(Read(locator, "text\\loose.txt"), "Loose file from the data folder.\n");
    EXPECT_EQ(Read(locator, "text\\shadow.txt"), "Served by the loose file, not the pack.\n");
    EXPECT_EQ(Read(locator, "text\\packed.txt"), "Entry of the demo pack.\n");
    EXPECT_EQ(Read(locator, "text\\both.txt"), "Served by the pack, not the ZIP archive.\n");
    EXPECT_EQ(Read(locator, "text\\zipped.txt"), "Entry of the demo ZIP archive.\n");
}

} // namespace
