#include "DefinitionFixture.h"
#include "LogFile.h"
#include "Platform/Audio/AudioTestSupport.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "Sound/Output.h"
#include "States/Pano.h"
#include "States/Screen.h"
#include "States/ScreenServices.h"
#include "States/SubtitleTrack.h"
#include "support/GameFixture.h"
#include "support/Pictures.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <utility>

namespace {

using State::InputRecord;

// The demo game as the build assembles it, played with scripted clicks through its state
// machine, frame by frame (no graphics device: the zones hit-test; pictures are not loaded,
// so the image controls are clicked by name). Its music and sounds play on a sound device in
// manual mode that nothing renders.
class DemoGameTest : public test::DefinitionFixture {
protected:
    DemoGameTest() : sound_(test::ManualDevice()) {
        UseTree(KV_GAME_DIR);
        opts().nomultithread_ = true;
        opts().noload_ = true;
        Sound::UseDevice(sound_);
    }
    ~DemoGameTest() override { Sound::UseDevice(nullptr); }

    // Frames until `name` is current (at most 10 s of them).
    bool RunUntil(const std::string& name) {
        for (int i = 0; i < 200 && game().map_.Current() != name; ++i) {
            Frame(50);
        }
        return game().map_.Current() == name;
    }

    // A primary click at a pixel of the 1024x768 screen, after a frame has found what lies
    // under the pointer.
    void Click(float px, float py) {
        State::ScreenServices::SetPointer(px / 1024.0f, py / 768.0f);
        Frame(50);
        const std::vector<InputRecord> click = {{State::kMouseButton0, State::kPressedBit, 0, 0, 0},
                                                {State::kMouseButton0, 0, 0, 0, 0}};
        game().map_.CurrentState()->Input(click.data(), 2, false);
    }

    // The control of the current state with that name.
    State::Control::Base& Control(const std::string& name) {
        const auto state = game().map_.CurrentState();
        if (const auto screen = std::dynamic_pointer_cast<State::Screen>(state)) {
            return *screen->Controls().at(name);
        }
        return *std::dynamic_pointer_cast<State::Pano>(state)->Controls().at(name);
    }

    void Run(const std::string& script) { game().lua_.Execute(script); }

    std::shared_ptr<Audio::Device> sound_;
};

// From "New game" to the end: the locked cellar door, the page behind the painting, the
// candle, the drawer that is stuck until the note is read and then gives the key, the
// diary's pages, the gallery's page, the door that opens only to the key held on the
// pointer, the dark stair that needs the candle, and the menu again with the game over.
TEST_F(DemoGameTest, PlaysFromANewGameToTheEnd) {
    CCustomMessageLoop loop;
    test::LogFileSince log;
    game().Load();
    Map& map = game().map_;
    EXPECT_EQ(map.Current(), "intro_loading");
    ASSERT_TRUE(RunUntil("menu_main"));

    Run("new_game()"); // the "New game" button's script
    ASSERT_TRUE(RunUntil("hall"));
    EXPECT_EQ(map.PartName(), "house");
    Click(830, 450); // the cellar door
    Click(170, 270); // the painting
    Click(512, 420); // the study door, through white with two flashes
    ASSERT_TRUE(RunUntil("study"));
    EXPECT_GT(brightest_, 0.9f);
    Control("candle").Click();
    Click(512, 500); // the desk
    ASSERT_TRUE(RunUntil("desk"));
    Control("drawer").Click(); // stuck
    Click(530, 460);           // the note opens the diary
    ASSERT_TRUE(RunUntil("diary_1"));
    Run("lib_next()"); // on to the page behind the painting
    ASSERT_TRUE(RunUntil("diary_3"));
    Click(10, 400); // the border closes the diary
    ASSERT_TRUE(RunUntil("desk"));
    Control("drawer").Click(); // slides open
    Control("drawer").Click(); // the key
    Click(512, 760);
    ASSERT_TRUE(RunUntil("study"));
    Click(512, 300); // the window
    ASSERT_TRUE(RunUntil("window"));
    Click(335, 300); // the lighthouse: the first time a cut-scene, then out onto its gallery
    ASSERT_TRUE(RunUntil("gallery_arrival"));
    EXPECT_EQ(game().subtitle_, "The wind up here smells of salt.");
    ASSERT_TRUE(RunUntil("gallery"));
    Click(512, 330); // the lamp, ahead
    Control("page").Click();
    Click(120, 700); // the stair's rails, seen without turning from where the gallery opens
    ASSERT_TRUE(RunUntil("hall"));
    Click(830, 450); // the key is in the bag, not on the pointer
    game().inventory_.PickUp("key");
    Click(830, 450);
    ASSERT_TRUE(RunUntil("cellar"));
    Click(512, 314); // too dark without a light
    game().inventory_.PickUp("candle");
    Click(512, 314);
    ASSERT_TRUE(RunUntil("ending"));
    Click(512, 384);
    ASSERT_TRUE(RunUntil("menu_main"));
    EXPECT_FALSE(map.IsStarted()) << "the game is over";

    const std::vector<std::string> expected = {
        "Loading 100%",
        "Hall, visit 1",
        "The cellar door is locked.",
        "A page of the keeper's diary was tucked behind the frame.",
        "Study",
        "Item 'candle' put to inventory",
        "You take the candle stub.",
        "Desk",
        "The drawer is stuck.",
        "Desk",
        "Item 'key' put to inventory",
        "A small iron key lies in the drawer. You take it.",
        "Study",
        "Window",
        "The light turns. You have watched it 1 times.",
        "Gallery", // under the cut-scene
        "Gallery",
        "Words: lamp",
        "Words: page",
        "Words: stairs",
        "Hall, visit 2",
        "Locked. Take the key from your bag and use it on the door.",
        "The key turns, and the cellar door swings open.",
        "Cellar stairs",
        "It is pitch dark down there. You need a light.",
        "Item 'candle' removed from inventory",
        "The end",
    };
    EXPECT_EQ(test::OnlyLines(Traced(log.Lines()), expected), expected);
    EXPECT_EQ(game().inventory_.Carried(), std::vector<std::string>{"key"});
    ASSERT_EQ(game().inventory_.Collected().size(), 1u);
    EXPECT_EQ(game().inventory_.Collected()[0].pages,
              (std::vector<std::string>{"diary_3", "diary_1", "diary_2"}));
}

// "New game" in the middle of a game starts afresh: nothing carried, no page found, the
// candle back on the desk and the scripts' variables gone.
TEST_F(DemoGameTest, NewGameStartsAfresh) {
    CCustomMessageLoop loop;
    game().Load();
    ASSERT_TRUE(RunUntil("menu_main"));
    Run("new_game()");
    ASSERT_TRUE(RunUntil("hall"));
    Click(170, 270); // the painting's page
    Click(512, 420);
    ASSERT_TRUE(RunUntil("study"));
    Control("candle").Click();
    ASSERT_EQ(game().inventory_.Carried(), std::vector<std::string>{"candle"});

    Run("game_menu()");
    ASSERT_TRUE(RunUntil("menu_main"));
    Run("new_game()");
    ASSERT_TRUE(RunUntil("hall"));
    EXPECT_TRUE(game().inventory_.Carried().empty());
    EXPECT_TRUE(game().inventory_.Collected().empty());
    EXPECT_EQ(test::EvalLua("vars.page_3"), "nil");
    EXPECT_EQ(test::EvalLua("vars.hall_visits"), "1");
    Click(512, 420);
    ASSERT_TRUE(RunUntil("study"));
    EXPECT_EQ(Control("candle").GetContext(), "do") << "the candle is on the desk again";
}

// The panoramas' zones and placed sounds are laid on their pictures, so neither the menu
// nor the gallery lets the sky rotation turn the picture, however long it stays on screen
// and in whatever order the states start and stop; and a border shows the "back" pointer
// only where it leads back.
TEST_F(DemoGameTest, PanoramasHoldStillAndBordersShowOnlyAWayBack) {
    CCustomMessageLoop loop;
    game().Load();
    const auto holdsStill = [this](const char* where) {
        Advance(4 * 60 * 1000);
        Frame(50);
        EXPECT_EQ(game().SkyRotation(), 0.0f) << where;
    };
    const auto borderContext = [this] {
        State::ScreenServices::SetPointer(10 / 1024.0f, 400 / 768.0f);
        Frame(50);
        return game().cursor_.GetContext();
    };
    ASSERT_TRUE(RunUntil("menu_main"));
    holdsStill("the main menu");
    Run("new_game()");
    ASSERT_TRUE(RunUntil("hall"));
    EXPECT_EQ(borderContext(), "") << "the hall has no way back";
    Click(512, 420);
    ASSERT_TRUE(RunUntil("study"));
    EXPECT_EQ(borderContext(), "back") << "the study goes back to the hall";
    Run("move(\"gallery\")");
    ASSERT_TRUE(RunUntil("gallery"));
    holdsStill("the gallery");
    Run("game_menu()"); // the gallery stops after the menu has started
    ASSERT_TRUE(RunUntil("menu_main"));
    for (int i = 0; i < 40; ++i) {
        Frame(50);
    }
    holdsStill("the main menu over a game");
}

// A message is written where it covers nothing to click: the text box of every screen's
// message meets none of the screen's zones and clickable pictures (pictures by the size of
// their file, or of their stripe).
TEST(DemoMessageTest, MessagesCoverNothingToClick) {
    pugi::xml_document definition;
    ASSERT_TRUE(definition.load_file(
        (std::filesystem::path(KV_SOURCE_DIR) / "data/pack/korvantine.xml").c_str()));
    struct Box {
        int x0, y0, x1, y1;
        bool Meets(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    };
    const auto boxAt = [](const pugi::xml_node& node, int w, int h) {
        const int x = node.attribute("x").as_int(), y = node.attribute("y").as_int();
        return Box{x, y, x + w, y + h};
    };
    const auto pictureSize = [](std::string tex) {
        std::replace(tex.begin(), tex.end(), '\\', '/');
        const test::Picture picture =
            test::LoadPicture(std::filesystem::path(KV_GAME_DIR) / "Data" / tex);
        return std::pair{int(picture.width), int(picture.height)};
    };
    int screens = 0;
    for (const pugi::xpath_node& found : definition.select_nodes("//*[text[@name='zz_say1']]")) {
        const pugi::xml_node screen = found.node();
        const pugi::xml_node say = screen.find_child_by_attribute("text", "name", "zz_say1");
        const Box message = boxAt(say, say.attribute("w").as_int(), say.attribute("h").as_int());
        const std::string where = screen.attribute("name").as_string();
        ++screens;
        for (const pugi::xml_node& child : screen.children()) {
            const std::string kind = child.name(), name = child.attribute("name").as_string();
            const std::string tex = child.attribute("tex").as_string();
            Box box{0, 0, 0, 0};
            if (kind == "zone") {
                box = boxAt(child, child.attribute("w").as_int(), child.attribute("h").as_int());
            } else if (kind == "imagemapped") {
                const pugi::xml_node stripe = definition.find_node([&tex](const pugi::xml_node& n) {
                    return std::string(n.name()) == "stripe" &&
                           n.attribute("name").as_string() == tex;
                });
                box = boxAt(child, stripe.attribute("width").as_int(),
                            stripe.attribute("height").as_int());
            } else if (kind == "image" &&
                       std::string(child.attribute("click").as_string()) != "no") {
                const auto [w, h] = pictureSize(tex);
                box = boxAt(child, w, h);
            }
            EXPECT_FALSE(message.Meets(box)) << where << ": the message covers " << name;
        }
    }
    EXPECT_GE(screens, 7) << "the house's five scenes and the save and load screens";
}

// Every subtitle of the demo's film and cut-scenes stays long enough to read, about 0.3 s a
// word, until the next line or the blank line that closes the track; and the track closes
// before its scene ends (the film's timeout, the cut-scene's last script), so no line is cut
// short by the scene.
TEST(DemoSubtitleTest, EveryLineStaysLongEnoughToRead) {
    const std::filesystem::path data = std::filesystem::path(KV_SOURCE_DIR) / "data";
    pugi::xml_document definition;
    ASSERT_TRUE(definition.load_file((data / "pack/korvantine.xml").c_str()));
    int tracks = 0;
    for (const pugi::xpath_node& found : definition.select_nodes("//*[@subtitles]")) {
        const pugi::xml_node scene = found.node();
        std::string file = scene.attribute("subtitles").as_string();
        std::replace(file.begin(), file.end(), '\\', '/');
        const std::filesystem::path path = std::filesystem::exists(data / "pack" / file)
                                               ? data / "pack" / file
                                               : data / "game" / file;
        State::SubtitleTrack track;
        EXPECT_TRUE(track.Parse(test::ReadFile(path)).empty()) << path;
        const State::SubtitleTrack::Lines& lines = track.GetLines();
        ASSERT_FALSE(lines.empty()) << path;
        ++tracks;
        EXPECT_EQ(lines.rbegin()->second, "") << path << ": the last line closes the track";
        float end = scene.attribute("timeout").as_float();
        for (const pugi::xml_node& script : scene.children("script")) {
            end = std::max(end, script.attribute("time").as_float());
        }
        EXPECT_LE(lines.rbegin()->first, end) << path << ": the scene ends first";
        for (auto line = lines.begin(); std::next(line) != lines.end(); ++line) {
            std::string text = line->second;
            std::replace(text.begin(), text.end(), '\n', ' ');
            std::istringstream words(text);
            const auto count = std::distance(std::istream_iterator<std::string>(words),
                                             std::istream_iterator<std::string>());
            EXPECT_GE(std::next(line)->first - line->first, 300.0f * float(count))
                << path << ": " << line->second;
        }
    }
    EXPECT_EQ(tracks, 2) << "the prologue and the gallery's cut-scene";
}

// The demo shows every kind of element that the definition format knows, so that playing it
// goes through every reader and every kind of scene and control.
TEST_F(DemoGameTest, UsesEveryKindOfElement) {
    const std::string text =
        test::ReadFile(std::filesystem::path(KV_SOURCE_DIR) / "data/pack/korvantine.xml");
    for (const char* kind :
         {"settings", "idle",   "cursor",      "context", "inventory",  "item",  "library",
          "book",     "page",   "map",         "part",    "sounds",     "sound", "music",
          "textures", "stripe", "fragment",    "pano",    "screen",     "menu",  "menupano",
          "cut",      "script", "video",       "loading", "transition", "flash", "event",
          "zone",     "image",  "imagemapped", "sprite",  "state",      "text",  "fader"}) {
        bool found = false;
        const std::string open = std::string("<") + kind;
        for (auto at = text.find(open); at != std::string::npos && !found;
             at = text.find(open, at + 1)) {
            found = std::string(" />").find(text[at + open.size()]) != std::string::npos;
        }
        EXPECT_TRUE(found) << kind;
    }
}

} // namespace
