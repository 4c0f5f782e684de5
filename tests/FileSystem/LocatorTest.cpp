// The locator's search: loose files, then packs, then ZIP archives; its path rules; names in
// the data's code page; and an installation root holding characters special to locations.

#include "FileSystem/Locator.h"

#include "FileSystemFixture.h"

#include <gtest/gtest.h>
#include <wx/stream.h>

namespace {

TEST(Locator, SearchOrderAndNameRules) {
    test::GameTree tree("g#1 %41");
    tree.AddLoose("t/loose.txt", "loose");
    tree.AddLoose("Gfx/A.DDS", "loose A");
    tree.AddLoose("Gfx/b.dds", "loose b");
    tree.AddLoose("Gfx/B.DDS", "loose B");
    tree.AddLoose("t/a%20#b.txt", "loose odd");
    tree.AddLoose("empty.txt", "");
    // The data names files in its 8-bit code page ("caf\xE9" is "café"): the file system holds
    // such names in UTF-8, or byte for byte when copied so.
    tree.AddLoose("Gfx/Caf\xC3\xA9.txt", "loose utf-8");
    tree.AddLoose("raw\xE9.txt", "loose raw");
    tree.AddLoose("u\x81.txt", "undefined byte");
    tree.AddPack("B.KPK", {{"t/loose.txt", "pack B"}, {"t/x.txt", "pack B"}});
    tree.AddPack("a.kpk", {{"t/x.txt", "pack a"},
                           {"t/pack.txt", "pack a"},
                           {"gfx/c.dds", "pack c"},
                           {"t/c#d:e.txt", "pack odd"},
                           {"empty.bin", ""},
                           {"pack\xE9\x80.txt", "pack code page"}});
    tree.AddPack("c.kpk.bak", {{"t/x.txt", "not a pack"}});
    tree.AddPack(".hidden.kpk", {{"t/x.txt", "hidden"}});
    tree.AddZip("z.kpz", {{"t/pack.txt", "zip"},
                          {"t/zip.txt", "zip"},
                          {"t/c#d:e.z", "zip odd"},
                          {"zip\xC3\xA9\xE2\x82\xAC.txt", "zip utf-8"}});
    tree.AddZip("Y.KPZ", {{"t/zip.txt", "zip Y"}, {"old\xC3\xA9.txt", "zip code page"}}, true);
    tree.AddLoose("bad.kpz", "not a ZIP archive");
    const test::LogTail log;
    Locator locator;
    locator.Init(tree.Root().string() + "/");
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Bad ZIP archive '" +
                                                    (tree.Data() / "bad.kpz").string() + "'"});

    struct Case {
        const char* path;
        const char* expected;
    };
    // Archives in case-insensitive name order: a.kpk, then B.KPK (mounted last, so it wins);
    // Y.KPZ, then z.kpz (searched first to last).
    const Case cases[] = {
        {"t/loose.txt", "loose"},
        {"t\\x.txt", "pack B"},
        {"t/pack.txt", "pack a"},
        {"t/zip.txt", "zip Y"},
        {"gfx\\a.dds", "loose A"},
        {"GFX/B.dds", "loose B"}, // byte order picks "B.DDS" over "b.dds"
        {"Gfx/b.dds", "loose b"}, // the exact name first
        {"gfx\\c.dds", "pack c"},
        {"Gfx/c.dds", "<none>"}, // pack entries keep their case
        {"t/a%20#b.txt", "loose odd"},
        {"t/c#d:e.txt", "pack odd"},
        {"t/c#d:e.z", "zip odd"},
        {"empty.txt", ""},
        {"empty.bin", ""},
        {"gfx\\caf\xE9.txt", "loose utf-8"},
        {"raw\xE9.txt", "loose raw"},
        {"u\x81.txt", "undefined byte"},
        {"pack\xE9\x80.txt", "pack code page"},
        {"zip\xE9\x80.txt", "zip utf-8"},
        {"old\xE9.txt", "zip code page"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(test::Read(locator, c.path), c.expected) << c.path;
    }
    // A name asked for through a location naming another data pack is still served.
    EXPECT_EQ(
        test::ReadStream(locator.OpenLocation((tree.Data() / "a.kpk").string() + "#kpk:t/x.txt")),
        "pack B");

    const std::string root = tree.Root().string();
    EXPECT_EQ(locator.DataPath("gfx\\caf\xE9.dds"), root + "/Data/gfx/caf\xC3\xA9.dds");
    EXPECT_EQ(locator.SavePath(3), root + "/Save/save_3.kgs");
    EXPECT_EQ(locator.OptionsPath(), root + "/Bin/korvantine.cfg");
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
    EXPECT_EQ(test::Read(locator, "./t/a.txt"), "a");
    EXPECT_TRUE(log.Lines().empty());
}

TEST(Locator, DemoGameTreeUsesEveryLookupPath) {
    Locator locator;
    locator.Init(KV_GAME_DIR);
    EXPECT_EQ(test::Read(locator, "text\\loose.txt"), "Loose file from the data folder.\n");
    EXPECT_EQ(test::Read(locator, "text\\shadow.txt"), "Served by the loose file, not the pack.\n");
    EXPECT_EQ(test::Read(locator, "text\\packed.txt"), "Entry of the demo pack.\n");
    EXPECT_EQ(test::Read(locator, "text\\both.txt"), "Served by the pack, not the ZIP archive.\n");
    EXPECT_EQ(test::Read(locator, "text\\zipped.txt"), "Entry of the demo ZIP archive.\n");
}

} // namespace
