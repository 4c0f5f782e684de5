#include "Game/Map.h"
#include "MapXml.h"
#include "States/Cut.h"
#include "States/Loading.h"
#include "States/Menu.h"
#include "States/MenuPano.h"
#include "States/Page.h"
#include "States/Pano.h"
#include "States/Screen.h"
#include "States/Transition.h"
#include "States/Video.h"
#include "support/GameFixture.h"

#include <typeinfo>

namespace {

class MapLoadTest : public test::GameFixture {
protected:
    MapLoadTest() {
        game().lua_.Execute("order = {}");
        opts().nomultithread_ = true; // the autoload part's preload runs inline
    }

    // A state element whose "init" script notes its name in the Lua table `order`; screens
    // get the picture they require.
    static std::string StateXml(const std::string& tag, const std::string& name,
                                const std::string& attributes = "") {
        const bool screen = tag == "screen" || tag == "menu" || tag == "loading" || tag == "page" ||
                            tag == "pano" || tag == "menupano";
        return "<" + tag + " name=\"" + name + "\" " + (screen ? "src=\"x.png\" " : "") +
               attributes + "><event name=\"init\">order[#order + 1] = '" + name + "'</event></" +
               tag + ">";
    }
};

// A definition holding every element kind loads end to end: each state is made by its
// kind's factory, in the fixed order of the kinds, with the common items read.
TEST_F(MapLoadTest, EveryElementKindLoads) {
    const std::string content =
        StateXml("transition", "t_hall_tower", R"(from="hall" to="tower")") +
        StateXml("page", "page1") + StateXml("loading", "l_boot", R"(sound="theme")") +
        StateXml("video", "v_logo", R"(src="logo.ogg" timeout="1000")") +
        StateXml("cut", "c_arrive", R"(pano="hall")") + StateXml("menupano", "mp_main") +
        StateXml("menu", "main", R"(effect="cinema")") + StateXml("screen", "s_intro") +
        StateXml("pano", "hall", R"(effect="warm")") +
        // A music track of no sound format: registered, with no sound (no device here).
        R"(<music src="music\theme.mid" force="yes" wait="10"/>)";
    Map map;
    map.Load(test::MapElement(test::PartXml("intro", content)));
    EXPECT_EQ(Eval("table.concat(order, ',')"),
              "hall,s_intro,main,mp_main,c_arrive,v_logo,l_boot,page1,t_hall_tower");

    struct Expected {
        const char* name;
        const std::type_info& kind;
        const char* effect;
    } const expected[] = {
        {"hall", typeid(State::Pano), "warm"},
        {"s_intro", typeid(State::Screen), ""},
        {"main", typeid(State::Menu), "cinema"},
        {"mp_main", typeid(State::MenuPano), ""},
        {"c_arrive", typeid(State::Cut), ""},
        {"v_logo", typeid(State::Video), ""},
        {"l_boot", typeid(State::Loading), ""},
        {"page1", typeid(State::Page), ""},
        {"t_hall_tower", typeid(State::Transition), ""},
    };
    ASSERT_EQ(map.GetStates().size(), std::size(expected));
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const std::shared_ptr<State::Base> state = map.GetState(e.name);
        ASSERT_NE(state, nullptr);
        const State::Base& base = *state;
        EXPECT_EQ(typeid(base), e.kind);
        EXPECT_EQ(state->PartName(), "intro");
        EXPECT_EQ(state->QueryEffect(), e.effect);
        EXPECT_FALSE(state->IsActive());
    }
    EXPECT_EQ(map.GetState("l_boot")->Sound(), "theme");
}

// States a transition or a cut-scene shows may be ticked without ever being started: no
// timers for the time before; after a tick the timer counts from that tick.
TEST_F(MapLoadTest, KindsTickedWithoutAStartFireNoTimers) {
    const std::string timer = "<event name=\"timer\">timers = (timers or 0) + 1</event>";
    Map map;
    map.Load(test::MapElement(test::PartXml(
        "p", "<cut name=\"c\" pano=\"p\">" + timer +
                 "</cut><video name=\"v\" src=\"v.ogg\" timeout=\"1\">" + timer + "</video>")));
    Advance(3600000);
    for (const char* name : {"c", "v"}) {
        map.GetState(name)->Tick();
    }
    EXPECT_EQ(Eval("timers or 0"), "0");
    Advance(150);
    map.GetState("c")->Tick();
    EXPECT_EQ(Eval("timers or 0"), "1");
}

// A state defined again in a later part wins every lookup; the earlier one ran its "init"
// and stays alive with the map, for whatever still points at it.
TEST_F(MapLoadTest, RedefinedStateIsReplacedLoggedAndKept) {
    std::weak_ptr<State::Base> older;
    {
        Map map;
        NewLogLines();
        map.Load(
            test::MapElement(test::PartXml("p1", StateXml("pano", "hall") +
                                                     StateXml("cut", "c_hall", R"(pano="hall")")) +
                             test::PartXml("p2", StateXml("screen", "hall"))));
        EXPECT_EQ(Eval("table.concat(order, ',')"), "hall,c_hall,hall");
        // The map names "intro" as its autoload part, which this definition lacks.
        EXPECT_EQ(NewLogLines(),
                  (std::vector<std::string>{"Duplicate state 'hall' replaced",
                                            "Part 'intro' not found", "Part not found"}));
        ASSERT_EQ(map.GetStates().size(), 2u);
        const auto hall = map.GetState("hall");
        EXPECT_EQ(hall->PartName(), "p2");
        const State::Base& base = *hall;
        EXPECT_EQ(typeid(base), typeid(State::Screen));

        auto first = std::make_shared<State::Pano>();
        older = first;
        State::Base* pointer = first.get();
        map.StoreState("hall", std::move(first));
        map.StoreState("hall", std::make_shared<State::Screen>());
        // What a transition loaded earlier would do with its pointer.
        pointer->FireStart();
        pointer->Tick();
        pointer->FireStop();
    }
    EXPECT_TRUE(older.expired());
}

} // namespace
