// The new author's walk-through of docs/new-game.md, done to the letter: its files saved where
// the page says, its shell commands run in order in one shell whose home is a fresh folder
// (the engine's sources, "~/korvantine", being this build), and the game it makes judged from
// the run its session script drives. A change to the engine that the page does not follow,
// or to the page that no longer works, fails here.
#include "PlayRun.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct Block {
    std::string language; // the fence's info string: "sh", "xml", "python", "text" or empty
    std::string text;
};

// The fenced code blocks of a Markdown text, in order.
std::vector<Block> FencedBlocks(const std::string& markdown) {
    std::vector<Block> blocks;
    std::optional<Block> open;
    for (const std::string& line : test::SplitLines(markdown)) {
        if (line.rfind("```", 0) == 0) {
            if (open) {
                blocks.push_back(std::move(*open));
                open.reset();
            } else {
                open = Block{line.substr(3), ""};
            }
        } else if (open) {
            open->text += line + "\n";
        }
    }
    return blocks;
}

// The one block of a language (and, when given, starting with `start`).
std::string OnlyBlock(const std::vector<Block>& blocks, const std::string& language,
                      const std::string& start = "") {
    std::vector<std::string> found;
    for (const Block& block : blocks) {
        if (block.language == language && block.text.rfind(start, 0) == 0) {
            found.push_back(block.text);
        }
    }
    EXPECT_EQ(found.size(), 1u) << "```" << language << " blocks starting " << start;
    return found.empty() ? std::string() : found.front();
}

std::uint32_t Rgb(const test::Picture& picture, int x, int y) {
    return picture.argb[std::size_t(y) * picture.width + std::size_t(x)] & 0xFFFFFF;
}

// Whether two colours differ by at most `tolerance` in each channel.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 6) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

TEST(GuidePlayTest, TheNewGamePageMakesAGameThatPlays) {
    const std::vector<Block> blocks =
        FencedBlocks(test::ReadFile(fs::path(KV_SOURCE_DIR) / "docs/new-game.md"));
    test::TempDir home;
    // "~/korvantine", built as step 1 says: its build folder is this one.
    fs::create_directories(home / "korvantine");
    fs::create_directory_symlink(fs::path(KV_GAME_DIR).parent_path(), home / "korvantine/build");

    // The files the page asks to save.
    test::WriteFile(home / "placeholders.py", OnlyBlock(blocks, "python"));
    fs::create_directories(home / "mygame-src");
    test::WriteFile(home / "mygame-src/korvantine.xml", OnlyBlock(blocks, "xml"));
    fs::create_directories(home / "mygame");
    test::WriteFile(home / "mygame/click.session", OnlyBlock(blocks, "text", "# click.session"));

    // The commands, in the order of the page.
    std::string commands = "set -eu\n";
    for (const Block& block : blocks) {
        if (block.language == "sh") {
            commands += block.text;
        }
    }
    test::StopOptions stop;
    stop.timeout = std::chrono::seconds(120);
    stop.environment = test::HeadlessEnvironment();
    stop.environment.push_back("HOME=" + home.Path().string());
    const test::ProcessResult run =
        test::RunProcessUntil("/bin/bash", {"-c", commands}, home.Path(), stop);
    ASSERT_EQ(run.status, 0) << commands << "\n" << run.out << run.err;

    // The pack's listing (step 5) names the definition and the pictures, and the page shows
    // its first lines as `kvpack -l` prints them: names and sizes, in order, up to the "…".
    for (const char* entry :
         {"korvantine.xml\t", "pics/title.png\t", "pics/cursor.png\t", "pics/room.dds\t"}) {
        EXPECT_NE(run.out.find(entry), std::string::npos) << entry << " in\n" << run.out;
    }
    std::vector<std::string> shown = test::SplitLines(OnlyBlock(blocks, "", "korvantine.xml\t"));
    while (!shown.empty() && (shown.back().empty() || shown.back() == "…")) {
        shown.pop_back();
    }
    ASSERT_FALSE(shown.empty());
    const std::vector<std::string> printed = test::SplitLines(run.out);
    const auto first = std::find(printed.begin(), printed.end(), shown.front());
    ASSERT_NE(first, printed.end()) << shown.front() << " not printed in\n" << run.out;
    const std::vector<std::string> following(
        first, first + std::min<std::ptrdiff_t>(printed.end() - first, std::ssize(shown)));
    EXPECT_EQ(following, shown) << run.out;

    // The run of step 7: the click moved to the room, the sound loaded loose beside the pack,
    // and nothing was missing or wrong.
    const fs::path game = home / "mygame";
    const std::vector<std::string> log = test::SplitLines(test::ReadFile(game / "run.log"));
    const std::vector<std::string> moves = {"title -> deactivate", "room -> start", "In the room",
                                            "room -> activate"};
    EXPECT_EQ(test::OnlyLines(log, moves), moves);
    EXPECT_EQ(test::OnlyLines(log, {"Loading sound file 'sfx\\click.wav'"}).size(), 1u);
    for (const std::string& line : log) {
        for (const char* bad : {"Error", "Cannot", "Failed", "Warning", "Lua error"}) {
            EXPECT_EQ(line.find(bad), std::string::npos) << line;
        }
    }

    // The captures: the title with its door, the green pointer on the door, then the room's
    // cube map as the kvtexgen step made it: the wall ahead (+Z) the right way round, its
    // light band at the top and its dark square top left, the left (-X) and right (+X) walls
    // at the edges; the picture stands still (control(1)), so the square is where it was drawn.
    const test::Picture title = test::LoadPicture(game / "title.png");
    const test::Picture room = test::LoadPicture(game / "room.png");
    ASSERT_EQ(title.width, 1024u);
    ASSERT_EQ(room.width, 1024u);
    EXPECT_TRUE(Near(Rgb(title, 100, 100), 0x1E2846)) << std::hex << Rgb(title, 100, 100);
    EXPECT_TRUE(Near(Rgb(title, 450, 350), 0xC8A03C)) << std::hex << Rgb(title, 450, 350);
    EXPECT_TRUE(Near(Rgb(title, 510, 450), 0x50DC50)) << std::hex << Rgb(title, 510, 450);
    const struct {
        int x, y;
        std::uint32_t rgb;
        const char* what;
    } seen[] = {
        {512, 20, 0xEDE3BB, "the band along the top of the wall ahead"},
        {250, 200, 0x585030, "the dark square in its top left corner"},
        {774, 200, 0xDCC878, "the wall ahead, right of the centre"},
        {512, 600, 0xDCC878, "the wall ahead, below the centre"},
        {20, 450, 0x3CA03C, "the left wall"},
        {1004, 450, 0xC83C3C, "the right wall"},
    };
    for (const auto& point : seen) {
        EXPECT_TRUE(Near(Rgb(room, point.x, point.y), point.rgb))
            << point.what << ": " << std::hex << Rgb(room, point.x, point.y);
    }
}

} // namespace
