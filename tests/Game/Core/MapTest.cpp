#include "Game/Map.h"

#include "Game/Exception.h"
#include "MapXml.h"
#include "support/GameFixture.h"

namespace {

class MapTest : public test::GameFixture {};

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

TEST_F(MapTest, PartSoundsAndRepeatedParts) {
    Map map;
    map.Load(test::MapElement(test::MapXml(
        test::PartXml("p1", "",
                      R"(<sound src="silence"/><sound src="a.ogg" loop="yes"/>)"
                      R"(<sound src="a.ogg" pan="yes"/><sound src="b.wav" stream="yes"/>)") +
        test::PartXml("p2", "") +
        R"(<part name="p1" start="again" load="l2" effect="cinema"><sounds>)"
        R"(<sound src="c.ogg"/><sound src="b.wav"/></sounds><textures/></part>)")));

    EXPECT_EQ(map.AutoloadPart(), "intro");
    EXPECT_EQ(map.MenuState(), "main");
    ASSERT_EQ(map.GetParts().size(), 2u);
    const Map::Part* p1 = map.GetPart("p1");
    // The later definition names the states; sounds accumulate, the first of a path wins.
    test::ExpectPart(p1, "again", "l2", "cinema");
    ASSERT_NE(p1, nullptr);
    ASSERT_EQ(p1->sounds_.size(), 3u);
    EXPECT_EQ(p1->sounds_.count("silence"), 0u);
    EXPECT_EQ(p1->sounds_.at("a.ogg").flags_, SoundDef::kLoop);
    EXPECT_EQ(p1->sounds_.at("b.wav").flags_, SoundDef::kStream);
    EXPECT_EQ(p1->sounds_.at("c.ogg").flags_, 0u);
}

TEST_F(MapTest, RequiredItemsFailTheLoad) {
    const std::string incomplete[] = {
        R"(<map menu="m"/>)",
        R"(<map autoload="a"/>)",
        test::MapXml(R"(<part name="p" start="s" load="l"><sounds/><textures/></part>)"),
        test::MapXml(R"(<part name="p" start="s" load="l" effect="e"><textures/></part>)"),
        test::MapXml(R"(<part name="p" start="s" load="l" effect="e"><sounds/></part>)"),
        test::MapXml(test::PartXml("p", R"(<screen effect="x"/>)")),
        test::MapXml(test::PartXml("p", R"(<pano name="a"><event>x = 1</event></pano>)")),
    };
    for (const std::string& xml : incomplete) {
        Map map;
        EXPECT_THROW(map.Load(test::MapElement(xml)), exception) << xml;
    }

    Map map;
    try {
        map.Load(test::MapElement(test::MapXml(test::PartXml("p", "<video/>"))));
        FAIL() << "a state without a name loaded";
    } catch (const exception& e) {
        EXPECT_STREQ(e.what(), "Configuration error: \n  Attribute 'name' not found at video");
    }
}

TEST_F(MapTest, LookupsByNameLogTheMisses) {
    Map map;
    map.Load(test::MapElement(
        test::MapXml(test::PartXml("p", R"(<screen name="hall" src="hall.png"/>)"))));
    NewLogLines();
    EXPECT_NE(map.GetState("hall"), nullptr);
    EXPECT_NE(map.GetPart("p"), nullptr);
    EXPECT_EQ(NewLogLines().size(), 0u);

    EXPECT_EQ(map.GetState("cellar"), nullptr);
    EXPECT_EQ(map.GetPart("q"), nullptr);
    // Before the first move there is no current state.
    EXPECT_EQ(map.CurrentState(), nullptr);
    EXPECT_EQ(NewLogLines(),
              (std::vector<std::string>{"Trying to get undefined state 'cellar'",
                                        "Part 'q' not found", "Trying to get undefined state ''"}));
}

TEST(MapResources, NeighboursOfOneNameCollapse) {
    std::vector<MapResource> list = {{"A", 1}, {"A", 2}, {"B", 1}, {"A", 1},
                                     {"C", 2}, {"C", 2}, {"C", 1}};
    CollapseNeighbours(list);
    ASSERT_EQ(list.size(), 4u);
    const char* names[] = {"A", "B", "A", "C"};
    const int kinds[] = {1, 1, 1, 2};
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].name_, names[i]);
        EXPECT_EQ(list[i].kind_, kinds[i]);
    }
}

} // namespace
