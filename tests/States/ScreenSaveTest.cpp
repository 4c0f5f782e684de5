#include "Controls/ControlProbe.h"
#include "Include/common/XmlSer.h"
#include "States/Controls/Image.h"
#include "States/Menu.h"
#include "States/MenuPano.h"
#include "States/Screen.h"
#include "support/GameFixture.h"

#include <wx/init.h>
#include <wx/mstream.h>

namespace {

using State::Control::Fader;
using State::Control::Image;

// A screen with two zones, two images (one named with a leading 't', which only the map of
// states skips) and a slider whose moves count in `updates`.
const char* kScreen =
    R"(<screen name="s" src="bg.png"><zone/><zone name="door"/>)"
    R"(<image name="lamp" tex="l.png" frames="2" start="off"><state name="off" frame="1"/>)"
    R"(<state name="on" frame="2"/></image>)"
    R"(<image name="torch" tex="t.png" frames="2" start="out"><state name="out" frame="1"/>)"
    R"(<state name="lit" frame="2"/></image>)"
    R"(<fader name="vol" tex="k.png" x="0.2" right="0.6" top="0.9" bottom="0.1">)"
    R"(<event name="update">updates = updates + 1</event></fader></screen>)";

class ScreenSaveTest : public test::GameFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    ScreenSaveTest() { game().lua_.Execute("updates = 0"); }

    template <typename T = State::Screen>
    static std::shared_ptr<T> Read() {
        auto screen = std::make_shared<T>();
        screen->LoadCommon(test::ElementOf(kScreen, "screen"), "p");
        return screen;
    }

    // The state's "state" element as the save-game writer makes it.
    static std::string Save(State::Base& state) {
        wxMemoryOutputStream stream;
        xs::OArchive archive(stream);
        archive.AddChild("state");
        archive.WriteAttribute("name", state.Name());
        state.SaveState(archive);
        archive.Close();
        EXPECT_TRUE(archive.Finish());
        std::string text(stream.GetLength(), '\0');
        stream.CopyTo(text.data(), text.size());
        return text.substr(text.find("<state"));
    }

    static void Load(State::Base& state, const std::string& text) {
        xs::IArchive archive(text);
        ASSERT_TRUE(archive.OpenChild("state"));
        state.LoadState(archive);
        archive.Close();
    }

    static std::shared_ptr<Image> ImageOf(const State::Screen& screen, const char* key) {
        return std::dynamic_pointer_cast<Image>(screen.Controls().at(key));
    }
};

// Every control is written under its key, zones with their name only; loading after a reset
// puts the images back into their states and the knob exactly where it was, even outside
// its travel, without an event and without restarting the images' animation.
TEST_F(ScreenSaveTest, RoundTrip) {
    const auto screen = Read();
    ImageOf(*screen, "lamp")->SetState("on");
    ImageOf(*screen, "torch")->SetState("lit");
    Fader& vol = *screen->Faders().at("vol");
    vol.position_ = {0.9f, -0.25f};
    const std::string text = Save(*screen);
    EXPECT_EQ(text, "<state name=\"s\">\n"
                    "  <control name=\"door\"/>\n"
                    "  <control name=\"lamp\" state=\"on\"/>\n"
                    "  <control name=\"torch\" state=\"lit\"/>\n"
                    "  <control name=\"zone0\"/>\n"
                    "  <faders name=\"vol\" x=\"0.899999976\" y=\"-0.25\"/>\n"
                    "</state>\n");

    Advance(300);
    screen->Restart();
    EXPECT_EQ(ImageOf(*screen, "lamp")->GetState(), "off");
    EXPECT_EQ(vol.position_, (cg::point<float, 2>{0.2f, 0.9f}));
    const float started = ImageOf(*screen, "lamp")->started_;
    Load(*screen, text);
    EXPECT_EQ(ImageOf(*screen, "lamp")->GetState(), "on");
    EXPECT_EQ(ImageOf(*screen, "lamp")->started_, started);
    EXPECT_EQ(ImageOf(*screen, "torch")->GetState(), "lit");
    EXPECT_EQ(vol.position_, (cg::point<float, 2>{0.9f, -0.25f}));
    EXPECT_EQ(Eval("updates"), "0");
    EXPECT_EQ(screen->Controls().size(), 4u);
}

// A record from an older definition: keys and image states the screen no longer has are
// skipped, leaving the reset look; an entry without its key, or a knob without "y", is
// refused with xs::exception and leaves the knob as it was.
TEST_F(ScreenSaveTest, ForeignRecords) {
    const auto screen = Read();
    Load(*screen, R"(<state name="s"><control name="gone" state="x"/>)"
                  R"(<control name="lamp" state="dimmed"/><control name="torch" state="lit"/>)"
                  R"(<faders name="old" x="1" y="1"/></state>)");
    EXPECT_EQ(ImageOf(*screen, "lamp")->GetState(), "off");
    EXPECT_EQ(ImageOf(*screen, "torch")->GetState(), "lit");
    EXPECT_EQ(screen->Controls().size(), 4u);
    EXPECT_EQ(screen->Faders().size(), 1u);

    const Fader& vol = *screen->Faders().at("vol");
    for (const char* bad : {R"(<state><control state="on"/></state>)",
                            R"(<state><faders name="vol" x="0.5"/></state>)",
                            R"(<state><control name="lamp"/></state>)"}) {
        EXPECT_THROW(Load(*screen, bad), xs::exception) << bad;
        EXPECT_EQ(vol.position_, (cg::point<float, 2>{0.2f, 0.9f})) << bad;
    }
}

// A menu writes nothing but its name and reads nothing back.
TEST_F(ScreenSaveTest, MenusAreNotSaved) {
    const auto menu = Read<State::Menu>();
    ImageOf(*menu, "lamp")->SetState("on");
    EXPECT_EQ(Save(*menu), "<state name=\"s\"/>\n");
    Load(*menu, R"(<state name="s"><control name="lamp" state="off"/></state>)");
    EXPECT_EQ(ImageOf(*menu, "lamp")->GetState(), "on");
}

// A panorama writes its view, its controls under their keys and its sounds' on flags, names
// beginning with 't' included; a menu panorama writes nothing.
TEST_F(ScreenSaveTest, PanoRecordRoundTrip) {
    const auto make = [](std::shared_ptr<State::Pano> pano) {
        pano->LoadCommon(test::ElementOf(R"(<pano name="p" src="p.dds">)"
                                         R"(<zone name="tower" pos="0,0,1,1"/>)"
                                         R"(<sound src="thunder.wav" course="1" pitch="0"/>)"
                                         R"(<sound src="rain.wav" course="2" pitch="0" on="no"/>)"
                                         R"(</pano>)",
                                         "pano"),
                         "p");
        return pano;
    };
    const auto pano = make(std::make_shared<State::Pano>());
    pano->SetView(1.25f, -0.3f);
    pano->SetSound("thunder.wav", 0);
    pano->SetSound("rain.wav", 1);
    const std::string text = Save(*pano);
    EXPECT_EQ(text, "<state name=\"p\" course=\"1.25\" pitch=\"-0.300000012\">\n"
                    "  <control name=\"tower\"/>\n"
                    "  <sound name=\"rain.wav\" on=\"yes\"/>\n"
                    "  <sound name=\"thunder.wav\" on=\"no\"/>\n"
                    "</state>\n");
    const auto loaded = make(std::make_shared<State::Pano>());
    Load(*loaded, text);
    EXPECT_EQ(loaded->View(), (cg::cp<float>{1.25f, -0.3f}));
    EXPECT_FALSE(loaded->Sounds().at("thunder.wav").on_);
    EXPECT_TRUE(loaded->Sounds().at("rain.wav").on_);
    Load(*loaded, R"(<state course="0" pitch="0"><control name="gone"/><sound name="x.wav"/>)"
                  R"(</state>)");
    EXPECT_EQ(loaded->Controls().size(), 1u) << "unknown names are skipped";
    EXPECT_EQ(loaded->Sounds().size(), 2u);

    const auto menu = make(std::make_shared<State::MenuPano>());
    EXPECT_EQ(Save(*menu), "<state name=\"p\"/>\n");
}

} // namespace
