#include "States/Cut.h"

#include "FileSystem/Locator.h"
#include "States/Controls/ControlProbe.h"
#include "States/Pano.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <numbers>
#include <wx/init.h>

namespace {

using State::InputRecord;

constexpr float kPi = std::numbers::pi_v<float>;

InputRecord Record(std::uint32_t offset, std::uint32_t data) {
    return {offset, data, 0, 0, 0};
}

// A cut-scene "C" over the panorama "P" with scripts at 0, 1000 (twice) and -1 ms, two
// subtitle lines and an "exit" script that counts the skips.
class CutTest : public test::GameFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    CutTest() {
        opts().nomultithread_ = true;
        opts().noidle_ = true;
        std::filesystem::create_directories(root_ / "Data");
        test::WriteFile(root_ / "Data" / "cut.txt", "500:Look.\n1500:The light.\n");
        Locator::Instance().Init(root_.Path().string());
        game().RegisterApi();
        game().lua_.Execute("seen = {} exits = 0");
        const std::string xml =
            R"(<korvantine><map autoload="p" menu="S"><part name="p" start="P" load="none")"
            R"( effect="clean"><sounds/><textures/><pano name="P" src="p.dds" fov="60"/>)"
            R"(<screen name="S" src="s.png"/>)"
            R"(<cut name="C" pano="P" subtitles="cut.txt"><event name="exit">exits = exits + 1)"
            R"(</event><script time="0">seen[#seen + 1] = 'a'</script>)"
            R"(<script time="1000">seen[#seen + 1] = 'b'</script>)"
            R"(<script time="1000">seen[#seen + 1] = 'dropped'</script>)"
            R"(<script time="-1">seen[#seen + 1] = 'never'</script></cut>)"
            R"(</part></map></korvantine>)";
        game().map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
        cut_ = std::dynamic_pointer_cast<State::Cut>(game().map_.GetState("C"));
        pano_ = std::dynamic_pointer_cast<State::Pano>(game().map_.GetState("P"));
    }

    // Frames of 20 ms until `ms` have passed since the last one.
    void Play(std::uint64_t ms) {
        for (; ms > 0; ms -= std::min<std::uint64_t>(ms, 20)) {
            Advance(std::min<std::uint64_t>(ms, 20));
            cut_->Tick();
        }
    }

    void Send(std::vector<InputRecord> records, bool keyboard) {
        cut_->Input(records.data(), static_cast<int>(records.size()), keyboard);
    }

    test::TempDir root_;
    std::shared_ptr<State::Cut> cut_;
    std::shared_ptr<State::Pano> pano_;
};

// Each script runs once, in time order, the first frame after its time; a restart replays
// them. Subtitles follow the same clock and are cleared when the scene stops.
TEST_F(CutTest, ScriptsAndSubtitlesAtTheirTimes) {
    EXPECT_EQ(cut_->Scripts().size(), 3u);
    EXPECT_EQ(cut_->Scripts().rbegin()->first, 4294967295.0f);
    for (int visit = 0; visit < 2; ++visit) {
        game().lua_.Execute("seen = {}");
        cut_->FireStart();
        EXPECT_EQ(game().cachet_, 0.25f);
        EXPECT_FALSE(opts().swayAllowed_);
        cut_->Tick();
        EXPECT_EQ(Eval("#seen"), "0") << "no time has passed";
        const struct {
            std::uint64_t ms;
            const char* seen;
            const char* subtitle;
        } steps[] = {// Elapsed after each: 20, 500, 520, 1000, 1020, 1480, 1520, 6520 ms.
                     {20, "a", ""},
                     {480, "a", ""},
                     {20, "a", "Look."},
                     {480, "a", "Look."},
                     {20, "a,b", "Look."},
                     {460, "a,b", "Look."},
                     {40, "a,b", "The light."},
                     {5000, "a,b", "The light."}};
        for (const auto& step : steps) {
            Play(step.ms);
            EXPECT_EQ(Eval("table.concat(seen, ',')"), step.seen) << visit << " " << step.ms;
            EXPECT_EQ(game().subtitle_, step.subtitle) << visit << " " << step.ms;
        }
        cut_->FireStop();
        EXPECT_EQ(game().subtitle_, "");
        EXPECT_EQ(game().cachet_, 0.0f);
        EXPECT_TRUE(opts().swayAllowed_);
        EXPECT_EQ(Eval("set_pos"), "nil");
    }
}

// The camera glides with a slow start and end; a new target mid-way starts from where the
// camera is; the panorama shows the clamped pitch and the scripted field of view.
TEST_F(CutTest, CameraGlidesAndRetargets) {
    cut_->FireStart();
    Play(20);
    EXPECT_EQ(pano_->View().heading, 0.0f);
    EXPECT_NEAR(pano_->Fov(), 0.5f * kPi, 1e-6f) << "not the panorama's own 60 degrees";
    game().lua_.Execute("set_pos(3.0, 1.2, 2000) set_fov(60, 500)");
    Play(500);
    EXPECT_NEAR(pano_->Fov(), kPi / 3.0f, 1e-5f);
    EXPECT_NEAR(cut_->Camera().Heading(game().Time()), 3.0f * 0.15625f, 1e-4f);
    Play(500);
    EXPECT_NEAR(pano_->View().heading, 1.5f, 1e-4f);
    // Retargeted at the half-way mark: from 1.5 to 1 over 1000 ms, no jump.
    game().lua_.Execute("set_pos(1, 0, 1000)");
    Play(20);
    EXPECT_NEAR(pano_->View().heading, 1.5f, 0.01f);
    Play(480);
    EXPECT_NEAR(pano_->View().heading, 1.25f, 1e-4f);
    Play(500);
    EXPECT_NEAR(pano_->View().heading, 1.0f, 1e-5f);
    // No time (0 ms) is 1 ms; the panorama shows a heading past a turn normalised and the
    // pitch clamped.
    game().lua_.Execute("set_pos(7, 1.2, 0)");
    Play(20);
    EXPECT_NEAR(pano_->View().heading, 7.0f - 2.0f * kPi, 1e-5f);
    EXPECT_EQ(pano_->View().pitch, State::Pano::kPitchUp);
    // A transition's end sets the view within 1 ms; the next start begins from 0.
    cut_->SetView(2.0f, 0.1f);
    Play(20);
    EXPECT_NEAR(pano_->View().heading, 2.0f, 1e-6f);
    cut_->FireStop();
    cut_->FireStart();
    Play(20);
    EXPECT_EQ(pano_->View().heading, 0.0f);
    EXPECT_EQ(pano_->View().pitch, 0.0f);
}

// Releases of Escape or of the secondary button fire "exit", once per release; presses
// and other input do nothing. The left-handed setting swaps the buttons.
TEST_F(CutTest, SkipFiresExit) {
    cut_->FireStart();
    const struct {
        bool leftHanded, keyboard;
        std::vector<InputRecord> records;
        int exits;
    } cases[] = {
        {false, true, {Record(0x01, State::kPressedBit)}, 0},
        {false, true, {Record(0x01, 0), Record(0x1C, 0), Record(0x01, 0)}, 2},
        {false, false, {Record(State::kMouseButton1, State::kPressedBit)}, 0},
        {false, false, {Record(State::kMouseButton0, 0), Record(State::kMouseButton1, 0)}, 1},
        {true, false, {Record(State::kMouseButton1, 0), Record(State::kMouseButton0, 0)}, 1},
        {false, false, {Record(0x01, 0), Record(0, 40)}, 0}, // mouse offsets, not keys
    };
    for (const auto& c : cases) {
        opts().mouseLeftHanded_ = c.leftHanded;
        game().lua_.Execute("exits = 0");
        Send(c.records, c.keyboard);
        EXPECT_EQ(Eval("exits"), std::to_string(c.exits)) << c.leftHanded << c.keyboard;
    }
    // The scene goes where its "exit" script sends it; without one it cannot be skipped.
    State::ScreenServices::SetPointer(0.1f, 0.2f);
    cut_->Tick();
    EXPECT_EQ(State::ScreenServices::PointerX(), 0.1f) << "the skip input moves no pointer";
    game().map_.SetState("C");
    auto moving = std::make_shared<State::Cut>();
    moving->LoadCommon(test::ElementOf(R"(<cut name="M" pano="P"><event name="exit">)"
                                       R"(move('S')</event></cut>)",
                                       "cut"),
                       "p");
    moving->FireStart();
    Send({Record(0x01, 0)}, true);
    EXPECT_EQ(game().map_.Current(), "C") << "a skip stops nothing by itself";
    moving->Input(std::vector<InputRecord>{Record(0x01, 0)}.data(), 1, true);
    EXPECT_EQ(game().map_.Current(), "t_C_S");
}

// A definition without a panorama's name or with a time that is no integer is refused; a
// name that is no panorama when the scene starts is logged and the scene plays on without
// one, to its "exit".
TEST_F(CutTest, DefinitionErrors) {
    for (const char* bad :
         {R"(<cut name="X"/>)", R"(<cut name="X" pano="P"><script>a = 1</script></cut>)",
          R"(<cut name="X" pano="P"><script time="1.5">a = 1</script></cut>)",
          R"(<cut name="X" pano="P"><script time="soon">a = 1</script></cut>)"}) {
        auto cut = std::make_shared<State::Cut>();
        EXPECT_ANY_THROW(cut->LoadCommon(test::ElementOf(bad, "cut"), "p")) << bad;
    }
    for (const char* name : {"Q", "S"}) {
        auto cut = std::make_shared<State::Cut>();
        cut->LoadCommon(test::ElementOf(std::string(R"(<cut name="X" pano=")") + name +
                                            R"(" subtitles="none.txt"><script time="0">)"
                                            R"(seen[#seen + 1] = 'x'</script><event name="exit">)"
                                            R"(exits = exits + 1</event></cut>)",
                                        "cut"),
                        "p");
        EXPECT_EQ(NewLogLines().back(), "Cannot open subtitles file");
        cut->FireStart();
        EXPECT_EQ(NewLogLines().back(),
                  std::string("Cut-scene 'X' has no panorama '") + name + "' to show");
        Advance(20);
        cut->Tick();
        cut->Exit();
        cut->FireStop();
    }
    EXPECT_EQ(Eval("table.concat(seen, ',') .. exits"), "x,x2");
}

} // namespace
