#include "DefinitionFixture.h"
#include "Game/Exception.h"
#include "LogFile.h"
#include "States/Base.h"
#include "States/Screen.h"
#include "support/TestSupport.h"
#include "support/ThrownText.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <functional>
#include <lua.hpp>

namespace {

// The text of the error an action throws: what() of a standard exception (the engine's own
// included), empty when nothing is thrown.
std::string Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

const char* const kNotANumber =
    "bad lexical cast: source type value could not be interpreted as target";

class GameLoadTest : public test::DefinitionFixture {
protected:
    // A tree whose definition is `xml`.
    void WithDefinition(const std::string& xml) {
        test::WriteFile(dir_ / "Data" / "korvantine.xml", xml);
        UseTree(dir_.Path().string());
    }

    static std::string Definition(const std::string& idle, const std::string& map) {
        return "<korvantine><settings>" + idle +
               "</settings><cursor tex=\"c\"/><inventory tex=\"\" back=\"\"/><library tex=\"\"/>" +
               map + "</korvantine>";
    }

    static std::string Idle(const std::string& delay) {
        return R"(<idle period_x="0.5" period_y="2" ampl_x="1e-3" ampl_y="-0.25" delay=")" + delay +
               "\"/>";
    }

    static std::string Map(const std::string& states) {
        return R"(<map autoload="p" menu="m"><part name="p" start="s" load="l" effect="e">)"
               "<sounds/><textures/>" +
               states + "</part></map>";
    }

    test::TempDir dir_;
};

// The idle settings and the map are read; the script API is there before the first state's
// "init" runs; names are the file's bytes, whatever their code page.
TEST_F(GameLoadTest, ReadsTheSettingsAndTheMapWithTheApiInPlace) {
    WithDefinition(
        R"(<?xml version="1.0" encoding="windows-1252"?>)" +
        Definition(
            Idle("4000"),
            Map("<screen name=\"caf\xE9\" src=\"s.png\"><event name=\"init\">seen = "
                "type(move) .. type(vars) .. type(vardump) .. type(game_exit)</event></screen>")));
    game().Load();
    const Game::Idle& idle = game().idle_;
    EXPECT_EQ(
        std::vector<float>({idle.period_x, idle.period_y, idle.ampl_x, idle.ampl_y, idle.delay}),
        std::vector<float>({0.5f, 2.0f, 0.001f, -0.25f, 4000.0f}));
    EXPECT_NE(game().map_.GetState("caf\xE9"), nullptr);
    EXPECT_EQ(game().map_.MenuState(), "m");
    lua_State* L = game().lua_.Handle();
    lua_getfield(L, LUA_GLOBALSINDEX, "seen");
    EXPECT_STREQ(lua_tostring(L, -1), "functiontablefunctionfunction");
    lua_pop(L, 1);
}

// Each failure keeps its error text and is logged once before it leaves, with where it is.
TEST_F(GameLoadTest, FailuresEndTheLoadAndSayWhere) {
    struct {
        const char* what;
        std::string xml;
        std::string error;
        std::string logged;
    } const cases[] = {
        {"not XML", "<korvantine>\n  <settings>\n</korvantine>", "HRESULT: 1\n",
         "Definition error: not well-formed XML: line 3, column 3: Start-end tags mismatch"},
        {"two roots", "<korvantine/>\n<korvantine/>", "HRESULT: 1\n",
         "Definition error: not well-formed XML: line 2, column 2: a second document element"},
        {"bad reference", "<korvantine>\n<a b='&nbsp;'/></korvantine>", "HRESULT: 1\n",
         "Definition error: not well-formed XML: line 2, column 2: a '<' or a bad reference in "
         "attribute 'b'"},
        {"no settings", "<korvantine><cursor/>" + Map("") + "</korvantine>", "HRESULT: 1\n",
         "Definition error: element 'settings' is missing in korvantine"},
        {"no idle", Definition("", Map("")), "HRESULT: 1\n",
         "Definition error: element 'idle' is missing in korvantine/settings"},
        {"no cursor",
         "<korvantine><settings>" + Idle("1") + "</settings>" + Map("") + "</korvantine>",
         "HRESULT: 1\n", "Definition error: element 'cursor' is missing in korvantine"},
        {"no map", Definition(Idle("1"), ""), "HRESULT: 1\n",
         "Definition error: element 'map' is missing in korvantine"},
        {"cursor without atlas",
         "<korvantine><settings>" + Idle("1") + "</settings><cursor/>" + Map("") + "</korvantine>",
         "Configuration error: \n  Attribute 'tex' not found at cursor",
         "Definition error: attribute 'tex' is missing at korvantine/cursor"},
        {"idle attribute missing",
         Definition(R"(<idle period_x="1" period_y="1" ampl_x="1" ampl_y="1"/>)", Map("")),
         "Configuration error: \n  Attribute 'delay' not found at idle",
         "Definition error: attribute 'delay' is missing at korvantine/settings/idle"},
        {"idle attribute not a number", Definition(Idle("1.5x"), Map("")), kNotANumber,
         "Definition error: attribute 'delay' is \"1.5x\" at korvantine/settings/idle"},
    };
    for (const auto& c : cases) {
        WithDefinition(c.xml);
        test::LogFileSince log;
        EXPECT_EQ(Thrown([&] { game().Load(); }), c.error) << c.what;
        EXPECT_EQ(log.Lines(), std::vector<std::string>{c.logged}) << c.what;
    }
    for (const char* value : {"1.5x", "", "one", "1 "}) {
        WithDefinition(Definition(Idle(value), Map("")));
        EXPECT_THROW(game().Load(), boost::bad_lexical_cast) << value;
    }
}

// A state or control that cannot be read names its part, state, control (kind and key), the
// attribute and its value, and the element's path; the error text is the one it always was. A
// stripe must be defined by the time an image naming it is read: not in a later part.
TEST_F(GameLoadTest, AStateOrControlThatCannotBeReadSaysWhere) {
    const std::string state = "<event name=\"init\">trace('read')</event>";
    const std::string screenAt = "korvantine/map/part[@name='p']/screen[@name='s']";
    const std::string panoAt = "korvantine/map/part[@name='p']/pano[@name='h']";
    struct {
        const char* what;
        std::string states;
        std::string error;
        std::string logged;
    } const cases[] = {
        {"mapped image of no stripe",
         R"(<screen name="s" src="s.png"><imagemapped name="door" tex="nostripe" start="a">)"
         R"(<state name="a" frame="1"/></imagemapped></screen>)",
         "No stripe 'nostripe'",
         "Definition error in part 'p', state 's', control imagemapped 'door': attribute 'tex' "
         "is \"nostripe\" at " +
             screenAt + "/imagemapped[@name='door']"},
        {"mapped image of a stripe defined in a later part",
         R"(<screen name="s" src="s.png"><imagemapped name="door" tex="late" start="a"/></screen>)"
         R"(</part><part name="q" start="s" load="l" effect="e"><sounds/>)"
         R"(<textures><stripe name="late" width="4" height="4"/></textures>)",
         "No stripe 'late'",
         "Definition error in part 'p', state 's', control imagemapped 'door': attribute 'tex' "
         "is \"late\" at " +
             screenAt + "/imagemapped[@name='door']"},
        {"frames of 0",
         R"(<pano name="h" src="c"><image name="sign" tex="t.png" frames="0" side="1")"
         R"( start="a"/></pano>)",
         "Configuration error: \n  Attribute 'frames' out of range (1 or more) at image 't.png'",
         "Definition error in part 'p', state 'h', control image 'sign': attribute 'frames' is "
         "\"0\" at " +
             panoAt + "/image[@name='sign']"},
        {"side above 5",
         R"(<pano name="h" src="c"><imagemapped tex="st" side="6" start="a"/></pano>)",
         "Configuration error: \n  Attribute 'side' out of range (0 to 5) at image",
         "Definition error in part 'p', state 'h', control imagemapped 'imagemapped0': attribute "
         "'side' is \"6\" at " +
             panoAt + "/imagemapped"},
        {"control attribute missing",
         R"(<screen name="s" src="s.png"><image tex="a.png" frames="1"/><image tex="b.png")"
         R"( frames="1" start="x"/></screen>)",
         "Configuration error: \n  Attribute 'start' not found at image",
         "Definition error in part 'p', state 's', control image 'image0': attribute 'start' is "
         "missing at " +
             screenAt + "/image[1]"},
        {"image state attribute missing",
         R"(<screen name="s" src="s.png"><image name="i" tex="a.png" frames="1" start="a">)"
         R"(<state name="a" frame="x"/></image></screen>)",
         kNotANumber,
         "Definition error in part 'p', state 's', control image 'i': attribute 'frame' is "
         "\"x\" at " +
             screenAt + "/image[@name='i']/state[@name='a']"},
        {"state attribute missing", "<screen name=\"s\">" + state + "</screen>",
         "Configuration error: \n  Attribute 'src' not found at screen",
         "Definition error in part 'p', state 's': attribute 'src' is missing at " + screenAt},
    };
    for (const auto& c : cases) {
        WithDefinition(Definition(
            Idle("1"), R"(<map autoload="p" menu="m"><part name="p" start="s" load="l" effect="e">)"
                       R"(<sounds/><textures><stripe name="st" width="4" height="4"/></textures>)" +
                           c.states + "</part></map>"));
        test::LogFileSince log;
        EXPECT_EQ(Thrown([&] { game().Load(); }), c.error) << c.what;
        const std::vector<std::string> lines = log.Lines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) {
                                    return line.rfind("Definition error", 0) == 0;
                                }),
                  1)
            << c.what;
        EXPECT_EQ(lines.empty() ? "" : lines.back(), c.logged) << c.what;
    }
}

// A Lua error logs the interpreter's own message (chunk name and line) with the part, state,
// control and event whose script it was, while the definition is read and while the game
// runs; the error's text stays as it was. A move to no state is logged the same way, and the
// script goes on.
// The text of an error of a script that ran `code`.
std::string Failed(const std::string& code) {
    return "LUA: Runtime error\nMessage: Execute - call failed\nCode: " + code;
}

TEST_F(GameLoadTest, ALuaErrorSaysWhoseScriptItWas) {
    WithDefinition(Definition(
        Idle("1"), Map(R"(<screen name="s" src="s.png"><event name="start">x = nil + 1</event>)"
                       R"(<zone name="z">
nosuch()</zone><zone name="n">trace(nil)</zone><zone name="m">move('nowhere')</zone>)"
                       R"(</screen>)"
                       R"(<screen name="t" src="t.png"><zone><event name="init">)"
                       R"(if lost then error('lost') end</event></zone></screen>)")));
    game().Load();
    const auto screen = std::dynamic_pointer_cast<State::Screen>(game().map_.GetState("s"));
    ASSERT_NE(screen, nullptr);
    const struct {
        const char* what;
        std::function<void()> run;
        std::string logged;
        std::string error; // the error's own text
    } cases[] = {
        {"state event", [&] { screen->FireEvent("start"); },
         "Lua error in part 'p', state 's', event 'start': [string \"x = nil + 1\"]:1: attempt "
         "to perform arithmetic on a nil value",
         Failed("x = nil + 1")},
        {"zone click (logged, and the game goes on)", [&] { screen->Controls().at("z")->Click(); },
         "Lua error in part 'p', state 's', control zone 'z', event 'click': [string \"...\"]:2: "
         "attempt to call global 'nosuch' (a nil value)",
         Failed("\nnosuch()")},
        {"an argument an engine function refuses", [&] { screen->Controls().at("n")->Click(); },
         "Lua error in part 'p', state 's', control zone 'n', event 'click': [string "
         "\"trace(nil)\"]:1: Not a string",
         "Not a string"},
        {"a move to no state (logged, and the script goes on)",
         [&] { screen->Controls().at("m")->Click(); },
         "Lua error in part 'p', state 's', control zone 'm', event 'click': [string "
         "\"move('nowhere')\"]:1: Trying to get undefined state 'nowhere'",
         ""},
        {"control event while the definition is read",
         [&] {
             game().lua_.Execute("lost = true");
             game().Load();
         },
         "Lua error in part 'p', state 't', control zone 'zone0', event 'init': [string \"if "
         "lost then error('lost') end\"]:1: lost",
         Failed("if lost then error('lost') end")},
    };
    for (const auto& c : cases) {
        test::LogFileSince log;
        std::string error;
        try {
            c.run();
        } catch (const lua::exception& e) {
            error = e.Text();
        }
        const std::vector<std::string> lines = log.Lines();
        const auto logged = std::find(lines.begin(), lines.end(), c.logged);
        ASSERT_NE(logged, lines.end()) << c.what;
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) {
                                    return line.rfind("Lua error", 0) == 0 ||
                                           line.rfind("Definition error", 0) == 0;
                                }),
                  1)
            << c.what;
        // The error's own text, thrown on, or logged next by the click's catcher.
        const std::string& expected = c.error;
        const auto count = std::count(expected.begin(), expected.end(), '\n') + 1;
        if (error.empty() && lines.end() - logged > count) {
            error = logged[1];
            for (auto line = logged + 2; line != logged + 1 + count; ++line) {
                error += "\n" + *line;
            }
        }
        EXPECT_EQ(error, expected) << c.what;
    }
}

TEST_F(GameLoadTest, MissingDefinition) {
    UseTree(dir_.Path().string());
    test::LogFileSince log;
    EXPECT_EQ(test::ThrownText([&] { game().Load(); }), "Cannot load 'korvantine.xml'");
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Cannot open file 'korvantine.xml'"});
}

} // namespace
