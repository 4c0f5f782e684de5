#include "../Switch/SwitchFixture.h"
#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "Game/SaveInfo.h"
#include "States/Controls/Image.h"
#include "States/Screen.h"
#include "support/TestSupport.h"

#include <cmath>
#include <filesystem>
#include <wx/init.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The summary's time: extended-precision bytes, exact for floats; refused when the name's
// length runs past the end, the number is an infinity or NaN, or no float can hold it.
TEST(SaveInfoTest, Summary) {
    const struct {
        float time;
        Bytes extended;
    } cases[] = {
        {1.0f, {0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}},
        {0.0f, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-2.5f, {0xC0, 0x00, 0xA0, 0, 0, 0, 0, 0, 0, 0}},
        {123456.789f, {}},
        {1e-40f, {}},
    };
    for (const auto& c : cases) {
        const Bytes info = SaveInfo::Encode(c.time, "part2");
        ASSERT_EQ(info.size(), 19u);
        if (!c.extended.empty()) {
            EXPECT_EQ(Bytes(info.begin(), info.begin() + 10), c.extended) << c.time;
        }
        EXPECT_EQ(Bytes(info.begin() + 10, info.begin() + 14), (Bytes{5, 0, 0, 0}));
        float time = -1.0f;
        std::string part;
        ASSERT_TRUE(SaveInfo::Decode(info, time, part)) << c.time;
        EXPECT_EQ(time, c.time);
        EXPECT_EQ(part, "part2");
    }
    Bytes longName = SaveInfo::Encode(1.0f, "ab");
    longName[10] = 3;
    Bytes infinite = SaveInfo::Encode(1.0f, "");
    infinite[0] = 0x7F;
    infinite[1] = 0xFF;
    Bytes huge = SaveInfo::Encode(1.0f, "");
    huge[0] = 0x47; // 2^(0x47FF - 16383): beyond any float
    for (const Bytes& bad : {Bytes(13, 0), longName, infinite, huge}) {
        float time = 7.0f;
        std::string part = "kept";
        EXPECT_FALSE(SaveInfo::Decode(bad, time, part));
        EXPECT_EQ(time, 7.0f);
        EXPECT_EQ(part, "kept");
    }
}

// A part with two screens, B holding a lamp image, a state whose name begins with 't' and
// the menu, on an installation tree of its own.
class SaveGameTest : public test::SwitchFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    SaveGameTest() {
        Locator::Instance().Init(root_.Path().string());
        opts().nomultithread_ = true;
        opts().noload_ = true;
        LoadPart(Noted("screen", "A") +
                 R"(<screen name="B" src="b.png"><image name="lamp" tex="l.png" frames="2")"
                 R"( start="off"><state name="off" frame="1"/><state name="on" frame="2"/>)"
                 R"(</image></screen><screen name="tower" src="t.png"/>)" +
                 R"(<loading name="L" src="l.png"/>)" + Noted("screen", "menu"));
        game().lua_.Execute("part_load('p')"); // the part's preload runs at once
        map().Update();
        game().lua_.Execute("game_reset() move('B') vars.a = 1");
        RunOut();
        Lamp().SetState("on");
        Frame(400);
        game().lua_.Execute("game_menu()");
        RunOut();
    }

    State::Control::Image& Lamp() {
        const auto screen = std::dynamic_pointer_cast<State::Screen>(map().GetState("B"));
        return dynamic_cast<State::Control::Image&>(*screen->Controls().at("lamp"));
    }

    // The game's look that a load changes: vars.a, the lamp, the current state.
    std::string Look() { return Eval("vars.a") + " " + Lamp().GetState() + " " + map().Current(); }

    // The "data" entry of a slot's file, as it is on disk now.
    std::string Data(int slot) {
        EXPECT_TRUE(Pack::Mount(Path(slot)));
        const auto stream = Locator::Instance().OpenLocation(Path(slot) + "#kpk:data");
        std::string text;
        char chunk[4096];
        while (stream && stream->Read(chunk, sizeof chunk).LastRead() > 0) {
            text.append(chunk, stream->LastRead());
        }
        return text;
    }

    std::string Path(int slot) { return Locator::Instance().SavePath(slot); }

    test::TempDir root_;
};

// A saved game comes back after the game changed: vars, the image state, the remembered
// state and the play time; the summary names its part and time; transitions' states are
// not written.
TEST_F(SaveGameTest, SaveRefreshAndLoad) {
    const float played = game().GameTime();
    EXPECT_GT(played, 0.0f);
    game().lua_.Execute("game_save(2)");
    EXPECT_EQ(game().varsText_, "vars = { a = 1 }");
    game().lua_.Execute("game_save_refresh()");
    EXPECT_EQ(Eval("game_save_part(2)"), "p");
    EXPECT_EQ(game().SaveTime(2), played);
    EXPECT_EQ(Eval("game_save_part(3)"), "empty");

    const std::string data = Data(2);
    EXPECT_NE(data.find(R"(<game vars="vars = { a = 1 }")"), std::string::npos) << data;
    EXPECT_NE(data.find(R"(<map last="B" part="p">)"), std::string::npos) << data;
    EXPECT_NE(data.find(R"(<control name="lamp" state="on"/>)"), std::string::npos) << data;
    EXPECT_EQ(data.find("tower"), std::string::npos) << data;

    game().lua_.Execute("game_reset() vars.a = 5 game_load(5)"); // no file: nothing changes
    EXPECT_EQ(Look(), "5 off menu");
    game().lua_.Execute("game_load(2)");
    EXPECT_EQ(game().GameTime(), played);
    RunOut();
    EXPECT_EQ(Look(), "1 on B");

    // Saving over the slot replaces the whole file and leaves nothing beside it.
    game().lua_.Execute("vars.a = 2 game_save(2) game_save_refresh()");
    EXPECT_NE(Data(2).find(R"(<game vars="vars = { a = 2 }")"), std::string::npos);
    EXPECT_EQ(Eval("game_save_part(2)"), "p");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(Locator::Instance().SaveDir())) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{"save_2.kgs"});
}

// Slots other than 1 to 6 are refused; a file that is no pack, has no game data, is no
// game document, or holds a record that fails part-way (one without its inventory among
// them) is refused with a log line and the game stays as it was, as it does for a part or a
// state to return to that the definition no longer has. The record of a state the
// definition no longer has is skipped.
TEST_F(SaveGameTest, RefusesWhatItCannotLoad) {
    NewLogLines();
    game().lua_.Execute("game_save(7) game_load(0)");
    EXPECT_EQ(NewLogLines(),
              (std::vector<std::string>{"game_save: no save slot 7", "game_load: no save slot 0"}));
    EXPECT_FALSE(std::filesystem::exists(Path(7)));

    const std::string head = R"(<game vars="vars = { a = 3 }" time="5" control="no">)";
    const struct {
        std::string data;
        bool loads;
    } cases[] = {
        {"not a pack", false},
        {"", false},
        {"<game/>", false},
        {head + R"(<map last="B" part="p"/></game>)" + "<", false},
        {head + R"(<map last="B" part="old"/></game>)", false},
        {head + R"(<map last="gone" part="p"/></game>)", false},
        {R"(<game vars="vars = {" time="5" control="no"><map last="B" part="p"/></game>)", false},
        {head + R"(<map last="B" part="p"><state name="B"><control name="lamp"/></state>)" +
             "</map></game>",
         false},
        {head + R"(<map last="B" part="p"><state name="gone"/></map></game>)", false},
        {head + R"(<inventory from=""><library/></inventory>)" +
             R"(<map last="B" part="p"><state name="gone"/></map></game>)",
         true},
    };
    std::filesystem::create_directories(Locator::Instance().SaveDir());
    for (const auto& c : cases) {
        if (c.data == "not a pack") {
            test::WriteFile(Path(1), c.data);
        } else {
            Pack::Entries entries;
            if (!c.data.empty()) {
                entries["data"].assign(c.data.begin(), c.data.end());
            }
            ASSERT_TRUE(Pack::Write(entries, Path(1)));
        }
        game().lua_.Execute("vars.a = 9");
        NewLogLines();
        game().lua_.Execute("game_load(1)");
        const float time = game().GameTime();
        RunOut();
        const std::vector<std::string> lines = NewLogLines();
        if (c.loads) {
            EXPECT_EQ(Look(), "3 off B") << c.data;
            EXPECT_EQ(time, 5.0f);
        } else {
            EXPECT_EQ(Look(), "9 on menu") << c.data;
            ASSERT_FALSE(lines.empty()) << c.data;
            EXPECT_EQ(lines.back().rfind("Bad save game '" + Path(1) + "'", 0), 0u) << lines.back();
        }
    }
}

} // namespace
