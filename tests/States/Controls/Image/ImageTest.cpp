#include "States/Controls/Image.h"

#include "Game/Exception.h"
#include "ImageXml.h"
#include "States/Controls/HitTest.h"
#include "States/Pano.h"
#include "States/ScreenServices.h"
#include "support/GameFixture.h"

#include <boost/lexical_cast.hpp>
#include <sstream>
#include <utility>
#include <vector>

namespace {

using State::Control::Base;
using State::Control::Image;
using State::Control::ImageMapped;

// Images read from XML on a game whose clock is driven by hand, with no device: they animate,
// hit-test and click, and draw nothing.
class ImageTest : public test::GameFixture {
protected:
    ImageTest() { game().lua_.Execute("loops = 0"); }

    template <typename T = Image>
    std::shared_ptr<T> Make(const std::string& attributes, const std::string& children) {
        const std::string tag = std::is_same_v<T, Image> ? "image" : "imagemapped";
        auto image = std::make_shared<T>();
        Base::LoadCommon(*image, test::ElementOf("<" + tag + " " + attributes + ">" + children +
                                                     "<event name=\"loop\">loops = loops + 1"
                                                     "</event></" +
                                                     tag + ">",
                                                 tag));
        return image;
    }
};

// Each state is entered at 0 ms; the frame shown at each moment, and the "loop" events fired
// up to then (one on the first update of a looping state, then one per wrap).
TEST_F(ImageTest, FrameSequences) {
    const std::pair<const char*, const char*> cases[] = {
        // the state; "ms frame loops" steps
        {R"(frame="3" length="1" delay="10" loop="yes")", "0 3 0  500 3 0"},
        {R"(frame="3" length="0" loop="yes")", "0 3 0  5000 3 0"},
        {R"(frame="3" length="-1" loop="yes")", "0 3 0  5000 3 0"},
        {R"(frame="5" length="4")", "0 5 0  199 5 0  200 6 0  400 7 0  600 8 0  100000 8 0"},
        {R"(frame="5" length="4" loop="yes")",
         "0 5 1  200 6 1  400 7 1  600 8 1  800 5 2  1000 6 2  1600 5 3  1700 5 3"},
        {R"(frame="5" length="4" loop="No")", "0 5 1  600 8 1  800 5 2"},
        {R"(frame="9" length="-3" delay="100")", "0 9 0  100 8 0  250 7 0  900 7 0"},
        {R"(frame="5" length="4" delay="0")", "0 5 0  100000 5 0"},
        {R"(frame="0" length="1")", "0 0 0  1000 0 0"},
    };
    for (const auto& [state, steps] : cases) {
        game().lua_.Execute("loops = 0");
        const auto image = Make(R"(tex="t.png" frames="16" start="s")",
                                std::string("<state name=\"s\" ") + state + "/>");
        std::istringstream in(steps);
        std::uint64_t now = 0;
        for (std::uint64_t at, frame, loops; in >> at >> frame >> loops; now = at) {
            Advance(at - now);
            EXPECT_EQ(image->Update(), frame) << state << " at " << at;
            EXPECT_EQ(Eval("loops"), std::to_string(loops)) << state << " at " << at;
        }
    }
}

// The three script functions: state names by position (a later state of a name changes the
// earlier one), switching (an unknown name is ignored) and the opacity, clamped.
TEST_F(ImageTest, ScriptFunctionsAndStates) {
    const auto image = Make(R"(tex="t.png" frames="4" start="state0")",
                            R"(<state frame="1"/><state frame="2" context="look">set_opacity(o))"
                            R"(</state><state name="state0" frame="3">set_state(next) seen = )"
                            R"(state()</state>)");
    ASSERT_EQ(image->states_.size(), 2u);
    EXPECT_EQ(image->states_.at("state0").frame, 3u);
    EXPECT_EQ(image->GetContext(), "do");
    for (const char* next : {"nowhere", "state1"}) {
        image->SetState("state0");
        game().lua_.Execute(std::string("next = '") + next + "'");
        image->Click();
        EXPECT_EQ(Eval("seen"), next == std::string("nowhere") ? "state0" : next);
    }
    EXPECT_EQ(image->GetContext(), "look");
    EXPECT_EQ(Eval("set_state"), "nil") << "the functions are bound only for the script";

    const std::pair<const char*, std::uint32_t> opacities[] = {
        {"2", 0xFFFFFFFFu}, {"-1", 0x00FFFFFFu}, {"0.5", 0x7FFFFFFFu}, {"0/0", 0x00FFFFFFu}};
    for (const auto& [value, colour] : opacities) {
        game().lua_.Execute(std::string("o = ") + value);
        image->Click();
        EXPECT_EQ(State::Control::ImageColour(image->opacity_), colour) << value;
    }
}

// The placed quad of a 64x32 image at the origin, and the region that "pos" gives instead.
TEST_F(ImageTest, PlacementAndRegion) {
    using Region = State::Control::FlatRegion;
    const Region quad = {{-1.0009766f, 1.0013021f},
                         {-1.0009766f, 0.9179688f},
                         {-0.8759766f, 0.9179688f},
                         {-0.8759766f, 1.0013021f}};
    const struct {
        const char* pos;
        Region region;
    } cases[] = {
        {"", quad},
        {R"(pos="1,2")", quad},
        {R"(pos="1,2,3")", quad},
        {R"(pos="1,2,3,4,5")", quad},
        {R"(pos=" -1 ,1,0, 0")", {{-1, 1}, {-1, 0}, {0, 0}, {0, 1}}},
        {R"(pos="0,0,,,1,0 ,, 1,1")", {{0, 0}, {1, 0}, {1, 1}}},
    };
    for (const auto& c : cases) {
        const auto image = Make(std::string(R"(tex="t" frames="1" width="64" height="32" )"
                                            R"(start="s" )") +
                                    c.pos,
                                R"(<state name="s" frame="1"/>)");
        image->Layout();
        ASSERT_EQ(image->region_.size(), c.region.size()) << c.pos;
        for (std::size_t i = 0; i < c.region.size(); ++i) {
            EXPECT_NEAR(image->region_[i].x, c.region[i].x, 1e-6) << c.pos << " " << i;
            EXPECT_NEAR(image->region_[i].y, c.region[i].y, 1e-6) << c.pos << " " << i;
        }
        const auto& v = image->pl_.vertices_;
        EXPECT_TRUE(v[0].x == -0.5f && v[0].y == -0.5f && v[1].x == 63.5f && v[1].y == -0.5f &&
                    v[2].x == -0.5f && v[2].y == 31.5f && v[3].x == 63.5f && v[3].y == 31.5f &&
                    v[3].z == 1.0f && v[3].rhw == 1.0f);
    }
    EXPECT_THROW(Make(R"(tex="t" frames="1" start="s" pos="1,x,3,4")", R"(<state frame="1"/>)"),
                 boost::bad_lexical_cast);
}

// The cells of one texture: a row of four 64x64 cells on 256x64 when no size is given; grids
// that cannot be formed draw nothing, and zero frames is refused at load.
TEST_F(ImageTest, SimpleGrid) {
    const auto grid = [](std::uint32_t frames, int width, int height, std::uint32_t W,
                         std::uint32_t H) {
        State::Control::TextureHandlerSimple simple;
        simple.frames_ = frames;
        simple.width_ = width;
        simple.height_ = height;
        simple.LayoutGrid(W, H);
        return simple;
    };
    State::Control::TextureHandlerSimple simple = grid(4, 0, 0, 256, 64);
    EXPECT_EQ(std::make_pair(simple.width_, simple.height_), std::make_pair(64, 64));
    EXPECT_EQ(simple.columns_, 4u);
    State::Control::ImageFrame cell;
    simple.CellOf(3, cell);
    EXPECT_EQ(std::vector<float>({cell.uL, cell.vT, cell.uR, cell.vB, cell.halfU}),
              std::vector<float>({0.5f, 0.0f, 0.75f, 1.0f, 0.5f / 256.0f}));
    grid(5, 100, 50, 256, 128).CellOf(4, cell); // second row, second column
    EXPECT_EQ(std::make_pair(cell.uL, cell.vT), std::make_pair(100.0f / 256.0f, 50.0f / 128.0f));
    for (const auto& [frames, width] : {std::pair{300u, 0}, {2u, 257}, {2u, -4}}) {
        EXPECT_EQ(grid(frames, width, 0, 256, 64).columns_, 0u) << frames << " " << width;
    }
    EXPECT_THROW(Make(R"(tex="t" frames="0" start="s")", R"(<state frame="1"/>)"), exception);
    EXPECT_THROW(Make(R"(tex="t" frames="1")", R"(<state frame="1"/>)"), exception);
}

// A screen reads its images after its zones; they are hovered and clicked like zones, an
// image of frame 0 included, and list their textures (a stripe's frames in order, the empty
// one too) for the part's preload.
TEST_F(ImageTest, ImagesOnAScreen) {
    test::DeclareWalkStripe("w.png", 3, 16, 8);
    const auto screen = test::ReadScreen(
        R"(<screen name="s" src="bg.png">)"
        R"(<zone name="a_zone" x="0" y="0" w="1024" h="768"/>)"
        R"(<image name="lamp" tex="lamp.png" frames="2" width="100" height="100" x="100")"
        R"( y="100" start="off"><state name="off" frame="0" context="do">set_state("on"))"
        R"(</state><state name="on" frame="2" context="look"/></image>)"
        R"(<imagemapped tex="walk" x="500" y="500" start="a" click="no">)"
        R"(<state name="a" frame="1"/></imagemapped>)"
        R"(</screen>)");
    const auto& controls = screen->Controls();
    ASSERT_EQ(controls.size(), 3u);
    const auto lamp = std::dynamic_pointer_cast<Image>(controls.at("lamp"));
    const auto walk = std::dynamic_pointer_cast<ImageMapped>(controls.at("imagemapped0"));
    ASSERT_TRUE(lamp && walk);

    std::vector<MapResource> list;
    MapPart part;
    screen->CollectResources(list, part);
    std::string names;
    for (const MapResource& r : list) {
        names += r.name_ + ":" + std::to_string(r.kind_) + " ";
    }
    EXPECT_EQ(names, "bg.png:1 w.png:1 w.png:1 :1 lamp.png:1 ");

    screen->Prepare(); // the stripe's frame size places the mapped image
    EXPECT_EQ(std::make_pair(walk->pl_.vertices_[3].x, walk->pl_.vertices_[3].y),
              std::make_pair(515.5f, 507.5f));
    const std::vector<State::InputRecord> click = {
        {State::kMouseButton0, State::kPressedBit, 0, 0, 0}, {State::kMouseButton0, 0, 0, 0, 0}};
    State::ScreenServices::SetPointer(150.0f / 1024.0f, 150.0f / 768.0f);
    screen->UpdateHover();
    EXPECT_EQ(screen->Hovered(), controls.at("lamp"));
    screen->Input(click.data(), 2, false);
    EXPECT_EQ(lamp->GetState(), "on");
    EXPECT_EQ(lamp->GetContext(), "look");
    // The unclickable image is passed over: the zone under it is hit.
    State::ScreenServices::SetPointer(505.0f / 1024.0f, 503.0f / 768.0f);
    screen->UpdateHover();
    EXPECT_EQ(screen->Hovered(), controls.at("a_zone"));
}

// An image whose "start" names no state of its own, of every kind on screens and panoramas:
// one line names it as the definition is read; it then draws nothing, is never hit and
// clicks nothing, until "set_state" enters a state it has.
TEST_F(ImageTest, MissingStartStateShowsNothing) {
    test::DeclareWalkStripe("w.png", 3, 16, 8);
    const struct {
        const char* owner;
        const char* tag;
        const char* attributes;
    } cases[] = {
        {"screen", "image", R"(tex="t.png" frames="2")"},
        {"screen", "imagemapped", R"(tex="walk")"},
        {"pano", "image", R"(tex="t.png" frames="2" side="4")"},
        {"pano", "imagemapped", R"(tex="walk" side="4")"},
        {"pano", "sprite", R"(tex="t.png" frames="2")"},
    };
    const auto check = [this](State::Control::Base& image, const auto& hit) {
        EXPECT_EQ(image.GetContext(), "");
        EXPECT_FALSE(hit());
        image.Render();
        image.Click();
        EXPECT_EQ(Eval("clicked"), "nil");
        image.events_["poke"] = "set_state('opne') set_state('on')";
        Base::FireEvent(image, "poke");
        EXPECT_EQ(image.GetContext(), "look");
        EXPECT_TRUE(hit());
        image.Click();
        EXPECT_EQ(Eval("clicked"), "true");
        game().lua_.Execute("clicked = nil");
    };
    for (const auto& c : cases) {
        const std::string element =
            std::string("<") + c.tag + " name=\"lamp\" start=\"opne\" pos=\"-0.5,0.5,0.5,-0.5\" " +
            c.attributes + "><state name=\"on\" frame=\"2\" context=\"look\">clicked = true" +
            "</state></" + c.tag + ">";
        const std::string line = "Image 'lamp' of state 'S' has no image state 'opne' to start in; "
                                 "it is not shown";
        if (c.owner == std::string("screen")) {
            const auto screen =
                test::ReadScreen(R"(<screen name="S" src="bg.png">)" + element + "</screen>");
            EXPECT_EQ(NewLogLines(), std::vector<std::string>{line}) << c.tag;
            const auto& image = screen->Controls().at("lamp");
            check(*image, [&] { return State::Control::HitTestFlat(*image, {0.0f, 0.0f}); });
            continue;
        }
        auto pano = std::make_shared<State::Pano>();
        pano->LoadCommon(
            test::ElementOf(R"(<pano name="S" src="p.dds">)" + element + "</pano>", "pano"), "p");
        EXPECT_EQ(NewLogLines(), std::vector<std::string>{line}) << c.tag;
        if (c.tag == std::string("sprite")) {
            const auto& image = pano->Sprites().at("lamp");
            check(*image, [&] { return State::Control::HitTestFlat(*image, {0.0f, 0.0f}); });
        } else {
            const auto& image = pano->Controls().at("lamp");
            check(*image, [&] { return State::Control::HitTestPano(*image, {0.0f, 0.0f}); });
        }
    }
}

} // namespace
