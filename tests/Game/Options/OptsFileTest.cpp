#include "FileSystem/Locator.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <cfloat>
#include <climits>
#include <functional>
#include <wx/init.h>

namespace {

using test::SplitLines;

// A game with its script API over a game tree of its own, whose Bin folder holds the file.
class OptsFile : public test::GameFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    OptsFile() {
        std::filesystem::create_directory(dir_ / "Bin");
        Locator::Instance().Init(dir_.Path().string());
        game().RegisterApi();
    }

    std::filesystem::path File() const { return dir_ / "Bin" / "korvantine.cfg"; }
    std::string FileLine(std::size_t n) const { return SplitLines(test::ReadFile(File())).at(n); }

    test::TempDir dir_;
};

TEST_F(OptsFile, FormatsTheTemplateWithTheRecord) {
    const std::string text = opts().Format();
    const std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[1], "opts_video_light = false ;" + std::string(32, ' '));
    EXPECT_EQ(lines[4], "opts_video_brightness = 0.5 ;" + std::string(27, ' '));
    EXPECT_EQ(lines[6], "opts_audio_music = 0.57 ;" + std::string(32, ' '));
    EXPECT_EQ(lines[7], "opts_audio_sound = 1 ;" + std::string(32, ' '));
    EXPECT_EQ(lines[11], "opts_game_intro  = 1 ;" + std::string(32, ' '));
    EXPECT_EQ(lines[14], "opts_mouse_lefthanded = false ;" + std::string(26, ' '));
    for (std::size_t i : {0u, 3u, 5u, 8u, 12u, 15u}) {
        EXPECT_EQ(lines[i], std::string(56, ' ')) << i;
    }

    // Run as Lua and taken back, the text gives every value it was made from.
    Opts::Data changed;
    changed.light_ = true;
    changed.vsync_ = false;
    changed.brightness_ = 0.75f;
    changed.musicVolume_ = 0.25f;
    changed.soundVolume_ = 0.0f;
    changed.nomove_ = true;
    changed.noidle_ = true;
    changed.intro_ = -3;
    changed.mouseInvert_ = true;
    changed.mouseLeftHanded_ = true;
    changed.mouseSensitivity_ = 1e-3f;
    game().lua_.Execute(changed.Format());
    opts().Update();
    EXPECT_EQ(opts().Format(), changed.Format());
    EXPECT_EQ(opts().mouseSensitivity_, 1e-3f);
}

TEST_F(OptsFile, ConvertsWhateverTheScriptsLeftInTheGlobals) {
    const struct {
        const char* script;
        bool light;
        float music;
        int intro;
    } cases[] = {
        {"opts_video_light = 0 opts_audio_music = '0.25' opts_game_intro = 2.7", true, 0.25f, 2},
        {"opts_video_light = nil opts_audio_music = 'x' opts_game_intro = -2.7", false, 0, -2},
        {"opts_video_light = {} opts_audio_music = {} opts_game_intro = '9'", true, 0, 9},
        {"opts_audio_music = 0/0 opts_game_intro = 0/0", false, 0, 0},
        {"opts_audio_music = 1e300 opts_game_intro = 1e300", false, FLT_MAX, INT_MAX},
        {"opts_audio_music = -1/0 opts_game_intro = -1/0", false, -FLT_MAX, INT_MIN},
        // The globals table's metamethods are not consulted.
        {"opts_audio_music = 0.5 setmetatable(_G, {__index = function() error('no') end})", false,
         0.5f, INT_MIN},
    };
    for (const auto& c : cases) {
        game().lua_.Execute(c.script);
        game().lua_.Execute("opts_update()");
        EXPECT_EQ(opts().light_, c.light) << c.script;
        EXPECT_EQ(opts().musicVolume_, c.music) << c.script;
        EXPECT_EQ(opts().intro_, c.intro) << c.script;
        EXPECT_FALSE(opts().vsync_) << c.script; // never set: read as false
        game().lua_.Execute("setmetatable(_G, nil) opts_video_light = nil");
    }
    // Saturated values are written so that they read back.
    game().lua_.Execute("opts_audio_music = -1/0 opts_update() opts_write()");
    game().lua_.Execute("opts_audio_music = nil " + test::ReadFile(File()) + " opts_update()");
    EXPECT_LT(opts().musicVolume_, -3.4e38f);
}

TEST_F(OptsFile, StartsFromTheFileOrCreatesIt) {
    // No file: the switches' values go into a new file, and the globals exist.
    opts().light_ = true;
    opts().Init();
    EXPECT_EQ(test::ReadFile(File()), opts().Format());
    EXPECT_EQ(FileLine(1), "opts_video_light = true ;" + std::string(32, ' '));
    EXPECT_EQ(Eval("opts_audio_music"), "0.57");

    // opts_write writes the record: changed globals count only after opts_update.
    game().lua_.Execute("opts_audio_music = 0.25 opts_write()");
    EXPECT_EQ(FileLine(6), "opts_audio_music = 0.57 ;" + std::string(32, ' '));
    game().lua_.Execute("opts_update() opts_write()");
    EXPECT_EQ(FileLine(6), "opts_audio_music = 0.25 ;" + std::string(32, ' '));

    // A file of the player's: it wins over the switches, its extra statements run once and
    // it is not rewritten.
    const std::string own = "opts_video_light = false opts_game_intro = 2.7 ran = 1 "
                            "local x = opts_game_intro + 1 opts_mouse_invert = x > 3";
    test::WriteFile(File(), own);
    RenewGame();
    game().RegisterApi();
    opts().light_ = true;
    opts().Init();
    EXPECT_FALSE(opts().light_);
    EXPECT_EQ(opts().intro_, 2);
    EXPECT_TRUE(opts().mouseInvert_);
    EXPECT_EQ(Eval("ran"), "nil"); // the file runs isolated: only the options are taken
    EXPECT_EQ(test::ReadFile(File()), own);
}

// A damaged or hostile file never stops the start: one that does not run (a Lua error, a
// library or engine function it has no way to, a budget of instructions, time or memory
// spent) keeps every default, a value an option cannot take keeps that option's default, and
// an option the file does not set keeps its own; each is logged, the globals hold what the
// record holds, the file stays as it is for the player to mend, and nothing else changed:
// the game's functions and libraries, its saves and the files around.
TEST_F(OptsFile, DamagedFilesKeepTheDefaults) {
    const std::string made = (dir_ / "made").string();
    const std::string sentinel = (dir_ / "kept").string();
    test::WriteFile(sentinel, "");
    const std::string prefix = "Options file '" + File().string() + "'";
    const auto unused = [&](const std::string& message) {
        return prefix + " not used, the defaults are kept: korvantine.cfg:" + message;
    };
    const auto kept = [&](const std::string& name, const char* what) {
        return prefix + ": opts_" + name + " is not " + what + ", the default is kept";
    };
    opts().light_ = true; // a switch of the command line, also in the files made here
    std::string missing = opts().Format();
    missing.erase(missing.find("opts_audio_sound"), 57);
    std::string cut = opts().Format();
    cut.replace(cut.find("opts_audio_music = 0.57"), 23, "opts_audio_music = 0.25");
    cut.resize(cut.find("opts_mouse_lefthanded = false") + 26); // "... = fa"
    const struct {
        std::string file;
        std::function<void(Opts::Data&)> change;
        std::vector<std::string> log;
    } cases[] = {
        {"opts_video_light = = true", {}, {unused("1: unexpected symbol near '='")}},
        {"opts_audio_music = 0.25 error('no')",
         {},
         {unused("1: attempt to call global 'error' (a nil value)")}},
        {"opts_audio_music = 0.25 while true do end",
         {},
         {prefix + " not used, the defaults are kept: too many instructions"}},
        {"while true do pcall(function() while true do end end) end",
         {},
         {unused("1: attempt to call global 'pcall' (a nil value)")}},
        {"debug.sethook() while true do end",
         {},
         {unused("1: attempt to index global 'debug' (a nil value)")}},
        {"trace({})", {}, {unused("1: attempt to call global 'trace' (a nil value)")}},
        {"inv_put(nil)", {}, {unused("1: attempt to call global 'inv_put' (a nil value)")}},
        {"game_save(1)", {}, {unused("1: attempt to call global 'game_save' (a nil value)")}},
        {"os.remove('" + sentinel + "')",
         {},
         {unused("1: attempt to index global 'os' (a nil value)")}},
        {"io.open('" + made + "', 'w')",
         {},
         {unused("1: attempt to index global 'io' (a nil value)")}},
        {"os.exit(0)", {}, {unused("1: attempt to index global 'os' (a nil value)")}},
        {"co = coroutine.create(function() end)",
         {},
         {unused("1: attempt to index global 'coroutine' (a nil value)")}},
        {"opts_audio_music = ('0.25'):len()", {}, {unused("1: attempt to index a string value")}},
        // Taken, but the game's own vardump and vars stay as they were.
        {"vardump = function() end vars = 5 opts_audio_music = 0.25",
         [](Opts::Data& d) { d.musicVolume_ = 0.25f; },
         {}},
        // Two strings of 2 MB compared without end: each comparison takes milliseconds.
        {"local s = 'x' for i = 1, 21 do s = s .. s end local t = s .. 'y' while s < t do end",
         {},
         {prefix + " not used, the defaults are kept: ran for too long"}},
        {"local s = 'x' for i = 1, 26 do s = s .. s end", // 64 MB
         {},
         {prefix + " not used, the defaults are kept: not enough memory"}},
        {"\x1bLua\x51\x00\x01\xff",
         {},
         {prefix + " not used, the defaults are kept: a "
                   "precompiled chunk is not run"}},
        {std::string("\x00\xff\xfe garbage", 11), {}, {unused("1: unexpected symbol")}},
        {missing, {}, {}},
        {cut,
         [](Opts::Data& d) { d.musicVolume_ = 0.25f; },
         {kept("mouse_lefthanded", "true or false")}},
        {"opts_video_vsync = fal opts_audio_sound = '0.5' opts_video_light = 0",
         {},
         {kept("video_light", "true or false"), kept("video_vsync", "true or false"),
          kept("audio_sound", "a number from 0 to 1")}},
        {"opts_mouse_sensitivity = 0/0 opts_video_brightness = 1.5 opts_audio_music = -0.1 "
         "opts_game_intro = 1e300 opts_mouse_invert = true",
         [](Opts::Data& d) { d.mouseInvert_ = true; },
         {kept("video_brightness", "a number from 0 to 1"),
          kept("audio_music", "a number from 0 to 1"), kept("game_intro", "a whole number"),
          kept("mouse_sensitivity", "a number from 0 to 1")}},
    };
    for (const auto& c : cases) {
        RenewGame();
        game().RegisterApi();
        opts() = Opts::Data();
        opts().light_ = true; // a switch of the command line
        Opts::Data expected = opts();
        if (c.change) {
            c.change(expected);
        }
        test::WriteFile(File(), c.file);
        NewLogLines();
        opts().Init();
        std::vector<std::string> log;
        for (const std::string& line : NewLogLines()) {
            if (line.rfind(prefix, 0) == 0) {
                log.push_back(line);
            }
        }
        EXPECT_EQ(log, c.log) << c.file;
        EXPECT_EQ(opts().Format(), expected.Format()) << c.file;
        game().lua_.Execute("opts_update()");
        EXPECT_EQ(opts().Format(), expected.Format()) << c.file;
        EXPECT_EQ(test::ReadFile(File()), c.file);
        EXPECT_EQ(Eval("type(vardump) .. type(vars) .. type(trace) .. type(io) .. type(co)"),
                  "functiontablefunctiontablenil")
            << c.file;
        game().lua_.Execute("vars.a = 1 vardump()");
        EXPECT_EQ(Eval("vars_d"), "vars = { a = 1 }") << c.file;
    }
    EXPECT_FALSE(std::filesystem::exists(made));
    EXPECT_TRUE(std::filesystem::exists(sentinel));
    EXPECT_FALSE(std::filesystem::exists(Locator::Instance().SaveDir()));
}

TEST_F(OptsFile, KeepsFilesItCannotUse) {
    // A file that is there but cannot be read is neither run nor replaced.
    std::filesystem::create_directory(File());
    test::LogSince log;
    opts().Init();
    EXPECT_TRUE(std::filesystem::is_directory(File()));
    EXPECT_EQ(log.Count("Cannot read file '" + File().string() + "'"), 1);
    EXPECT_EQ(Eval("opts_mouse_sensitivity"), "0.5");

    // Nowhere to write: logged, nothing else.
    std::filesystem::remove(File());
    std::filesystem::remove(dir_ / "Bin");
    test::LogSince write;
    game().lua_.Execute("opts_write()");
    EXPECT_EQ(write.Count("Cannot write file '" + File().string() + "'"), 1);
}

} // namespace
