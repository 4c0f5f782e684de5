#include "Game/Map.h"

#include "Game/Exception.h"
#include "MapXml.h"
#include "support/GameFixture.h"
#include "support/ThrownText.h"

#include <map>

namespace {

using MapTest = test::GameFixture;

TEST_F(MapTest, SoundFlagsAreSetUnlessExactlyNo) {
    struct {
        const char* attributes;
        unsigned int flags;
    } const cases[] = {
        {"", 0},
        {R"(pan="no" reverb="no" stream="no" loop="no")", 0},
        {R"(pan="")", SoundDef::kPan},
        {R"(pan="NO")", SoundDef::kPan},
        {R"(reverb="yes")", SoundDef::kReverb},
        {R"(stream="1")", SoundDef::kStream},
        {R"(loop="No")", SoundDef::kLoop},
        {R"(pan="x" reverb="x" stream="x" loop="x")", 15},
    };
    for (const auto& c : cases) {
        const auto doc = XmlDom::LoadString(std::string("<korvantine><sound src=\"a.ogg\" ") +
                                            c.attributes + "/></korvantine>");
        const SoundDef def = Map::ReadSoundDef(XmlDom::Child(XmlDom::Root(doc), "sound"));
        EXPECT_EQ(def.src_, "a.ogg");
        EXPECT_EQ(def.flags_, c.flags) << c.attributes;
    }
}

// A part defined again: the later definition names the states, sounds accumulate and the
// first of a path wins; "silence" is no sound.
TEST_F(MapTest, PartSoundsAndRepeatedParts) {
    Map map;
    map.Load(test::MapElement(
        test::PartXml("p1", "",
                      R"(<sound src="silence"/><sound src="a.ogg" loop="yes"/>)"
                      R"(<sound src="a.ogg" pan="yes"/><sound src="b.wav" stream="yes"/>)") +
        test::PartXml("p2", "") +
        R"(<part name="p1" start="again" load="l2" effect="cinema"><sounds>)"
        R"(<sound src="c.ogg"/><sound src="b.wav"/></sounds><textures/></part>)"));
    ASSERT_EQ(map.GetParts().size(), 2u);
    const Map::Part* p1 = map.GetPart("p1");
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->start_ + " " + p1->load_ + " " + p1->effect_, "again l2 cinema");
    ASSERT_EQ(p1->sounds_.size(), 3u);
    EXPECT_EQ(p1->sounds_.at("a.ogg").flags_, SoundDef::kLoop);
    EXPECT_EQ(p1->sounds_.at("b.wav").flags_, SoundDef::kStream);
    EXPECT_EQ(p1->sounds_.at("c.ogg").flags_, 0u);
}

TEST_F(MapTest, RequiredItemsFailTheLoad) {
    const std::pair<std::string, const char*> incomplete[] = {
        {R"(<part name="p" start="s" load="l"><sounds/><textures/></part>)", nullptr},
        {R"(<part name="p" start="s" load="l" effect="e"><textures/></part>)", nullptr},
        {R"(<part name="p" start="s" load="l" effect="e"><sounds/></part>)", nullptr},
        {test::PartXml("p", R"(<screen effect="x"/>)"), nullptr},
        {test::PartXml("p", R"(<pano name="a"><event>x = 1</event></pano>)"), nullptr},
        {test::PartXml("p", "<video/>"),
         "Configuration error: \n  Attribute 'name' not found at video"},
    };
    for (const auto& [xml, text] : incomplete) {
        Map map;
        const std::string thrown = test::ThrownText([&] { map.Load(test::MapElement(xml)); });
        EXPECT_NE(thrown, "") << xml;
        if (text) {
            EXPECT_EQ(thrown, text);
        }
    }
}

TEST(MapResources, NeighboursOfOneNameCollapse) {
    std::vector<MapResource> list = {{"A", 1, true}, {"A", 2},       {"B", 1, true},
                                     {"A", 1, true}, {"C", 2},       {"C", 2},
                                     {"C", 1},       {"D", 1, true}, {"D", 1, true}};
    CollapseNeighbours(list);
    std::string collapsed;
    for (const MapResource& r : list) {
        collapsed += r.name_ + std::to_string(r.kind_) + (r.background_ ? "b " : " ");
    }
    // A run stays a background only when all of it was.
    EXPECT_EQ(collapsed, "A1 B1b A1b C2 D1b ");
}

// A picture keeps the background mark, which lets its texture keep only the rows the frame
// shows, only where every state of every part that names it draws it as a background.
TEST_F(MapTest, BackgroundsAreMarkedWhereEveryUseIsOne) {
    Map map;
    map.Load(test::MapElement(
        test::PartXml("intro",
                      R"(<screen name="a" src="hall.png"/>)"
                      R"(<screen name="b" src="shared.png"/>)"
                      R"(<transition name="t_a_b" from="a" to="b"><flash screen="flash.png"/>)"
                      R"(</transition>)") +
        test::PartXml(
            "house",
            R"(<screen name="c" src="hall.png"/>)"
            R"(<screen name="d" src="desk.png">)"
            R"(<image tex="shared.png" frames="1" start="a"><state name="a" frame="1"/></image></screen>)"
            R"(<pano name="e" src="desk.png"/>)")));
    std::map<std::string, std::string> marks;
    for (const auto& [part, record] : map.GetParts()) {
        for (const MapResource& r : record.resources_) {
            marks[part + " " + r.name_ + std::to_string(r.kind_)] += r.background_ ? "b" : "-";
        }
    }
    EXPECT_EQ(marks, (std::map<std::string, std::string>{{"intro hall.png1", "b"},
                                                         {"intro shared.png1", "-"},
                                                         {"intro flash.png1", "b"},
                                                         {"house hall.png1", "b"},
                                                         {"house desk.png1", "-"},
                                                         {"house shared.png1", "-"},
                                                         {"house desk.png2", "-"}}));
}

} // namespace
