#include "DefinitionFixture.h"
#include "Game/Exception.h"
#include "LogFile.h"
#include "States/Base.h"
#include "support/TestSupport.h"
#include "support/ThrownText.h"

#include <boost/lexical_cast.hpp>
#include <lua.hpp>

namespace {

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

TEST_F(GameLoadTest, FailuresEndTheLoad) {
    struct {
        const char* what;
        std::string xml;
        std::string error;
    } const cases[] = {
        {"not XML", "<korvantine>", "HRESULT: 1\n"},
        {"no settings", "<korvantine><cursor/>" + Map("") + "</korvantine>", "HRESULT: 1\n"},
        {"no idle", Definition("", Map("")), "HRESULT: 1\n"},
        {"no cursor",
         "<korvantine><settings>" + Idle("1") + "</settings>" + Map("") + "</korvantine>",
         "HRESULT: 1\n"},
        {"no map", Definition(Idle("1"), ""), "HRESULT: 1\n"},
        {"cursor without atlas",
         "<korvantine><settings>" + Idle("1") + "</settings><cursor/>" + Map("") + "</korvantine>",
         "Configuration error: \n  Attribute 'tex' not found at cursor"},
        {"idle attribute missing",
         Definition(R"(<idle period_x="1" period_y="1" ampl_x="1" ampl_y="1"/>)", Map("")),
         "Configuration error: \n  Attribute 'delay' not found at idle"},
    };
    for (const auto& c : cases) {
        WithDefinition(c.xml);
        EXPECT_EQ(test::ThrownText([&] { game().Load(); }), c.error) << c.what;
    }
    for (const char* value : {"1.5x", "", "one", "1 "}) {
        WithDefinition(Definition(Idle(value), Map("")));
        EXPECT_THROW(game().Load(), boost::bad_lexical_cast) << value;
    }
}

TEST_F(GameLoadTest, MissingDefinition) {
    UseTree(dir_.Path().string());
    test::LogFileSince log;
    EXPECT_EQ(test::ThrownText([&] { game().Load(); }), "Cannot load 'korvantine.xml'");
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Cannot open file 'korvantine.xml'"});
}

} // namespace
