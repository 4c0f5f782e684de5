// The pack tool (kvpack) run as authors run it: a tree built into a pack, listed, and
// extracted whole or by one entry; damaged packs and names that would leave the folder.

#include "FileSystem/Pack.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace {

namespace fs = std::filesystem;

test::ProcessResult Kvpack(const std::vector<std::string>& args, const fs::path& dir) {
    return test::RunProcess(KV_PACK_TOOL, args, dir);
}

// Every regular file under folder by its relative path (UTF-8), with its bytes.
std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) {
            files[item.path().lexically_relative(folder).generic_string()] =
                test::ReadFile(item.path());
        }
    }
    return files;
}

TEST(PackTool, BuildListAndExtractRoundTripATreeOfWindows1252Names) {
    test::TempDir dir;
    std::string everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte += static_cast<char>(b);
    }
    // File names in UTF-8, each a Windows-1252 name in the pack; nested folders; an empty file.
    const std::map<std::string, std::string> files = {
        {"korvantine.xml", "<korvantine/>"},
        {"empty", ""},
        {"pics/Caf\u00e9/\u20ac\u00fc\u00df.png", everyByte},
        {"pics/Caf\u00e9/deep/er/\u0160\u00e2\u201e.txt", "nested"},
        {"sounds/\u00c5ngstr\u00f6m.ogg", std::string(70000, '\xA7')},
    };
    for (const auto& [name, bytes] : files) {
        test::WriteFile(dir / "src" / name, bytes);
    }

    const test::ProcessResult built = Kvpack({"src", "game.kpk"}, dir.Path());
    ASSERT_EQ(built.status, 0) << built.err;

    // Listed in the pack's order (by the Windows-1252 bytes), shown in UTF-8 with sizes.
    const test::ProcessResult listed = Kvpack({"-l", "game.kpk"}, dir.Path());
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(test::SplitLines(listed.out),
              (std::vector<std::string>{"empty\t0", "korvantine.xml\t13",
                                        "pics/Caf\u00e9/deep/er/\u0160\u00e2\u201e.txt\t6",
                                        "pics/Caf\u00e9/\u20ac\u00fc\u00df.png\t256",
                                        "sounds/\u00c5ngstr\u00f6m.ogg\t70000"}));

    const test::ProcessResult all = Kvpack({"-x", "game.kpk", "all"}, dir.Path());
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(Tree(dir / "all"), files);

    const std::string one = "pics/Caf\u00e9/\u20ac\u00fc\u00df.png";
    const test::ProcessResult single = Kvpack({"-x", "game.kpk", "one", one}, dir.Path());
    ASSERT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(Tree(dir / "one"), (std::map<std::string, std::string>{{one, everyByte}}));

    // The packed tree again gives the same pack.
    ASSERT_EQ(Kvpack({"all", "again.kpk"}, dir.Path()).status, 0);
    EXPECT_EQ(test::ReadFile(dir / "again.kpk"), test::ReadFile(dir / "game.kpk"));
}

TEST(PackTool, FailuresAreReportedAndNothingLeavesTheFolder) {
    test::TempDir dir;
    test::WriteFile(dir / "junk.kpk", "KVPK\xff\xff\xff\xff");
    // Names the engine never writes, as a damaged or hostile pack may hold them.
    Pack::Entries hostile;
    for (const char* name : {"../escaped", "/absolute", "a//b", "./dot", "ok/file"}) {
        hostile[name] = {'x'};
    }
    ASSERT_TRUE(Pack::Write(hostile, (dir / "hostile.kpk").string()));
    ASSERT_TRUE(Pack::Write({{"a", {'1'}}}, (dir / "small.kpk").string()));

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error; // a piece of standard error
    };
    const Case cases[] = {
        {{}, 2, "kvpack -x <pack.kpk> <folder> [<entry>]"},
        {{"-l"}, 2, "kvpack -l <pack.kpk>"},
        {{"-l", "missing.kpk"}, 1, "cannot open missing.kpk"},
        {{"-l", "junk.kpk"}, 1, "junk.kpk is not a pack"},
        {{"-x", "junk.kpk", "out"}, 1, "junk.kpk is not a pack"},
        {{"-x", "small.kpk", "out", "b"}, 1, "small.kpk has no entry b"},
        {{"-x", "hostile.kpk", "out"}, 1, "refusing the entry ../escaped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(no arguments)" : c.args[0]);
        const test::ProcessResult r = Kvpack(c.args, dir.Path());
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
    // Of the hostile pack only the sound name is written, inside the folder.
    EXPECT_EQ(Tree(dir / "out"), (std::map<std::string, std::string>{{"ok/file", "x"}}));
    EXPECT_FALSE(fs::exists(dir.Path().parent_path() / "escaped"));
    EXPECT_FALSE(fs::exists("/absolute"));
}

} // namespace
