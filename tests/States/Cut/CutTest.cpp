#include "States/Cut.h"

#include "FileSystem/Locator.h"
#include "States/Controls/ControlProbe.h"
#include "States/MenuPano.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <cmath>
#include <filesystem>
#include <numbers>
#include <wx/init.h>

namespace {

using State::InputRecord;
constexpr float kPi = std::numbers::pi_v<float>;

// A cut-scene "C" over the panorama "P" (scripts at 0, 1000 twice and -1 ms, two subtitle
// lines), a video "V" (never started, so no film is needed), both with an "exit" that counts
// the skips and moves to the Lua global `target` when it is set, and a menu panorama "M"
// with a zone ahead.
class CutTest : public test::GameFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    CutTest() {
        opts().nomultithread_ = true;
        std::filesystem::create_directories(root_ / "Data");
        test::WriteFile(root_ / "Data" / "cut.txt", "500:Look.\n1500:The light.\n");
        Locator::Instance().Init(root_.Path().string());
        game().RegisterApi();
        game().lua_.Execute("seen = {} exits = 0");
        const std::string xml =
            R"(<korvantine><map autoload="p" menu="M"><part name="p" start="P" load="none")"
            R"( effect="clean"><sounds/><textures/><pano name="P" src="p.dds" fov="60"/>)"
            R"(<menupano name="M" src="m.dds" fov="60"><zone name="z" pos="-0.3,0.3,0.3,-0.3">)"
            R"(clicks = (clicks or 0) + 1</zone></menupano>)"
            R"(<cut name="C" pano="P" subtitles="cut.txt"><event name="exit">exits = exits + 1)"
            R"( if target then move(target) end</event>)"
            R"(<script time="0">seen[#seen + 1] = 'a'</script>)"
            R"(<script time="1000">seen[#seen + 1] = 'b'</script>)"
            R"(<script time="1000">seen[#seen + 1] = 'dropped'</script>)"
            R"(<script time="-1">seen[#seen + 1] = 'never'</script></cut>)"
            R"(<video name="V" src="none.ogv" timeout="5000"><event name="exit">exits = exits + 1)"
            R"( if target then move(target) end</event></video></part></map></korvantine>)";
        game().map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
        cut_ = std::dynamic_pointer_cast<State::Cut>(game().map_.GetState("C"));
        pano_ = std::dynamic_pointer_cast<State::Pano>(game().map_.GetState("P"));
        menu_ = std::dynamic_pointer_cast<State::MenuPano>(game().map_.GetState("M"));
    }

    // Frames of 20 ms of `state` until `ms` have passed.
    void Play(std::uint64_t ms, State::Base* state = nullptr) {
        for (; ms > 0; ms -= std::min<std::uint64_t>(ms, 20)) {
            Advance(std::min<std::uint64_t>(ms, 20));
            (state ? state : cut_.get())->Tick();
        }
    }

    test::TempDir root_;
    std::shared_ptr<State::Cut> cut_;
    std::shared_ptr<State::Pano> pano_;
    std::shared_ptr<State::MenuPano> menu_;
};

// Each script runs once, in time order, in the first frame after its time, and again after
// a restart; subtitles follow the same clock and are cleared when the scene stops.
TEST_F(CutTest, ScriptsAndSubtitlesAtTheirTimes) {
    EXPECT_EQ(cut_->Scripts().rbegin()->first, 4294967295.0f) << "-1 as unsigned";
    for (int visit = 0; visit < 2; ++visit) {
        game().lua_.Execute("seen = {}");
        cut_->FireStart();
        EXPECT_EQ(game().cachet_, 0.25f);
        const struct {
            std::uint64_t ms; // elapsed after: 0, 500, 520, 1000, 1020, 1480, 1520, 6520
            const char *seen, *subtitle;
        } steps[] = {{0, "", ""},
                     {500, "a", ""},
                     {20, "a", "Look."},
                     {480, "a", "Look."},
                     {20, "a,b", "Look."},
                     {460, "a,b", "Look."},
                     {40, "a,b", "The light."},
                     {5000, "a,b", "The light."}};
        for (const auto& step : steps) {
            step.ms ? Play(step.ms) : cut_->Tick();
            EXPECT_EQ(Eval("table.concat(seen, ',')"), step.seen) << visit << " " << step.ms;
            EXPECT_EQ(game().subtitle_, step.subtitle) << visit << " " << step.ms;
        }
        cut_->FireStop();
        EXPECT_EQ(game().subtitle_ + Eval("set_pos"), "nil");
        EXPECT_EQ(game().cachet_, 0.0f);
    }
}

// The camera glides with a slow start and end, a new target mid-way starts from where the
// camera is, and the panorama shows the clamped pitch and the scripted field of view; each
// start begins again from heading 0 and a right angle.
TEST_F(CutTest, CameraGlidesAndRetargets) {
    for (int visit = 0; visit < 2; ++visit) {
        cut_->FireStart();
        Play(20);
        EXPECT_EQ(pano_->View().heading, 0.0f);
        EXPECT_NEAR(pano_->Fov(), 0.5f * kPi, 1e-6f) << "not the panorama's own 60 degrees";
        game().lua_.Execute("set_pos(3.0, 0.2, 2000) set_fov(60, 500)");
        Play(500);
        EXPECT_NEAR(pano_->View().heading, 3.0f * 0.15625f, 1e-4f);
        EXPECT_NEAR(pano_->Fov(), kPi / 3.0f, 1e-5f);
        Play(500);
        game().lua_.Execute("set_pos(1, 1.2, 1000)"); // from 1.5, half-way
        Play(500);
        EXPECT_NEAR(pano_->View().heading, 1.25f, 1e-4f);
        Play(500);
        EXPECT_NEAR(pano_->View().heading, 1.0f, 1e-5f);
        EXPECT_EQ(pano_->View().pitch, State::Pano::kPitchUp);
        cut_->SetView(7.0f, 0.0f); // within 1 ms, shown normalised
        Play(20);
        EXPECT_NEAR(pano_->View().heading, 7.0f - 2.0f * kPi, 1e-5f);
        cut_->FireStop();
    }
}

// Releases of Escape or of the secondary button fire "exit", once each; nothing else does.
TEST_F(CutTest, SkipFiresExit) {
    const auto key = [](std::uint32_t offset, bool down) {
        return InputRecord{offset, down ? State::kPressedBit : 0u, 0, 0, 0};
    };
    const struct {
        bool leftHanded, keyboard;
        std::vector<InputRecord> records;
        int exits;
    } cases[] = {
        {false, true, {key(0x01, true), key(0x1C, false)}, 0},
        {false, true, {key(0x01, false), key(0x01, false)}, 2},
        {false, false, {key(State::kMouseButton1, true), key(State::kMouseButton0, false)}, 0},
        {false, false, {key(State::kMouseButton1, false), key(0x01, false)}, 1},
        {true, false, {key(State::kMouseButton1, false), key(State::kMouseButton0, false)}, 1},
    };
    cut_->FireStart();
    for (const auto& c : cases) {
        opts().mouseLeftHanded_ = c.leftHanded;
        game().lua_.Execute("exits = 0");
        cut_->Input(c.records.data(), static_cast<int>(c.records.size()), c.keyboard);
        EXPECT_EQ(Eval("exits"), std::to_string(c.exits)) << c.leftHanded << c.keyboard;
    }
}

// Two skip releases in one batch, on a cut-scene and on a video, with the panorama "P" the
// current state: a scene whose "exit" stays gets both; one whose "exit" moves on acts once,
// and the second release does not reach the transition that came next.
struct SkipCase {
    const char* scene;
    const char* target; // where "exit" moves, as Lua
    const char* exits;
    const char* current; // the map's current state after the batch
};

class CutSkipTest : public CutTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(CutSkipTest, SkipActsOncePerScene) {
    const SkipCase& c = GetParam();
    game().map_.SetState("P");
    game().lua_.Execute(std::string("target = ") + c.target);
    const InputRecord twice[] = {{State::kKeyEscape, 0, 0, 0, 0}, {State::kKeyEscape, 0, 0, 0, 0}};
    game().map_.GetState(c.scene)->Input(twice, 2, true);
    EXPECT_EQ(Eval("exits"), c.exits);
    EXPECT_EQ(game().map_.Current(), c.current);
}

INSTANTIATE_TEST_SUITE_P(Scenes, CutSkipTest,
                         ::testing::Values(SkipCase{"C", "nil", "2", "P"},
                                           SkipCase{"C", "'M'", "1", "t_P_M"},
                                           SkipCase{"V", "nil", "2", "P"},
                                           SkipCase{"V", "'M'", "1", "t_P_M"}));

// No panorama's name or a time that is no integer is refused; a name that is no panorama
// when the scene starts is logged and the scene plays on without one.
TEST_F(CutTest, DefinitionErrors) {
    for (const char* bad : {R"(<cut name="X"/>)", R"(<cut name="X" pano="P"><script/></cut>)",
                            R"(<cut name="X" pano="P"><script time="1.5"/></cut>)"}) {
        EXPECT_ANY_THROW(
            std::make_shared<State::Cut>()->LoadCommon(test::ElementOf(bad, "cut"), "p"))
            << bad;
    }
    auto cut = std::make_shared<State::Cut>();
    cut->LoadCommon(test::ElementOf(R"(<cut name="X" pano="S"><script time="0">)"
                                    R"(seen[#seen + 1] = 'x'</script></cut>)",
                                    "cut"),
                    "p");
    cut->FireStart();
    EXPECT_EQ(NewLogLines().back(), "Cut-scene 'X' has no panorama 'S' to show");
    Play(20, cut.get());
    cut->FireStop();
    EXPECT_EQ(Eval("table.concat(seen, ',')"), "x");
}

// A menu panorama's camera moves only by script, turning the short way round on moves over
// 100 ms; the pointer moves and clicks instead of turning it.
TEST_F(CutTest, MenuPanoramaCamera) {
    menu_->SetView(1.0f, 0.2f);
    menu_->FireStart();
    Play(20, menu_.get());
    EXPECT_NEAR(menu_->View().heading, 1.0f, 1e-6f) << "from the view it had";
    EXPECT_NEAR(menu_->Fov(), 0.5f * kPi, 1e-6f);
    const struct {
        const char* move;
        std::uint64_t half;
        float halfWay; // NaN: any view, as long as the move ends
    } moves[] = {{"set_pos(0.1, 0, 2000)", 1000, 0.5f * (6.2f + 0.1f) - kPi},
                 {"set_pos(0.1, 0, 50)", 25, 0.5f * (6.2f + 0.1f)},
                 {"set_pos(1e30, 0, 2000)", 1000, NAN},
                 {"set_pos(-math.huge, 0, 2000)", 1000, NAN}};
    for (const auto& m : moves) {
        game().lua_.Execute("set_pos(6.2, 0, 1)");
        Play(20, menu_.get());
        game().lua_.Execute(m.move);
        Play(m.half, menu_.get());
        const float off = std::remainder(menu_->View().heading - m.halfWay, 2.0f * kPi);
        EXPECT_TRUE(std::isnan(m.halfWay) || std::abs(off) < 1e-4f) << m.move << " " << off;
    }
    const InputRecord drag[] = {{State::kMouseButton0, State::kPressedBit, 0, 0, 0},
                                {0, static_cast<std::uint32_t>(-200), 0, 0, 0},
                                {State::kMouseButton0, 0, 0, 0, 0}};
    game().lua_.Execute("set_pos(0, 0, 1)");
    Play(20, menu_.get());
    menu_->Input(drag, 3, false);
    State::ScreenServices::SetPointer(0.0f, 0.5f); // at the edge: no edge-follow either
    Play(2000, menu_.get());
    EXPECT_EQ(menu_->View().heading, 0.0f);
    EXPECT_EQ(Eval("clicks"), "1");
    menu_->FireStop();
    EXPECT_TRUE(opts().swayAllowed_);
}

} // namespace
