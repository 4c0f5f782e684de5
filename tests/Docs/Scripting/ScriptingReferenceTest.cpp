// Keeps the authors' Lua reference, docs/scripting.md, complete: every global the engine gives
// the game's scripts, found in the engine itself, is described there.

#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Script/State.h"
#include "States/Base.h"
#include "support/GameFixture.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <functional>
#include <lua.hpp>
#include <set>
#include <string>
#include <wx/init.h>

namespace {

// The names of the engine's functions met by `__record` while the game ran.
std::set<std::string> g_published;

// The global names of `L` and whether each is the engine's published function.
void ForEachGlobal(lua_State* L, const std::function<void(const std::string&, bool)>& visit) {
    lua_pushnil(L);
    while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING) {
            const bool published = lua_tocfunction(L, -1) == &lua::State::Dispatch;
            visit(lua_tostring(L, -2), published);
        }
        lua_pop(L, 1);
    }
}

// Lua `__record()`: notes every function the engine has published at this moment, the ones
// that states and controls bind for the length of their scripts included.
int Record(lua_State* L) {
    ForEachGlobal(L, [](const std::string& name, bool published) {
        if (published) {
            g_published.insert(name);
        }
    });
    return 0;
}

// Every script event of the game below records. One state of each kind, with one control of
// each kind where the kind has controls: what the engine publishes while each runs is what a
// game can ever see. A new kind of state or control is added here.
std::string Recording(const std::string& kind, const std::string& attributes,
                      const std::string& inner = {}) {
    return "<" + kind + " " + attributes + "><event name=\"init\">__record()</event>" +
           "<event name=\"start\">__record()</event>" + inner + "</" + kind + ">";
}

std::string ScreenControls() {
    return Recording("zone", R"(name="z" x="0" y="0" w="10" h="10")") +
           Recording("image", R"(name="i" tex="i.png" frames="1" start="s")",
                     R"(<state name="s" frame="1"/>)") +
           Recording("imagemapped", R"(name="m" tex="strip" start="s")",
                     R"(<state name="s" frame="1"/>)") +
           Recording("text", R"(name="t" text="x")") +
           Recording("fader", R"(name="f" x="0.1" right="0.5" top="0.5" tex="k.png")");
}

std::string PanoControls() {
    return Recording("zone", R"(name="z" pos="-0.1,0.1,0.1,-0.1")") +
           Recording("image", R"(name="i" tex="i.png" frames="1" side="0" start="s")",
                     R"(<state name="s" frame="1"/>)") +
           Recording("imagemapped", R"(name="m" tex="strip" side="0" start="s")",
                     R"(<state name="s" frame="1"/>)") +
           Recording("sprite", R"(name="p" tex="i.png" frames="1" start="s")",
                     R"(<state name="s" frame="1"/>)");
}

std::string Definition() {
    return R"(<korvantine><settings><idle period_x="1" period_y="1" ampl_x="0" ampl_y="0")"
           R"( delay="1000"/></settings><cursor tex="c.png"><context index="0" name=""/>)"
           R"(</cursor><inventory tex="i.png" back="b.png"/><library tex="l.png"/>)"
           R"(<map autoload="p" menu="menu"><part name="p" start="screen" load="loading")"
           R"( effect="clean"><sounds/><textures><stripe name="strip" src="s.png" width="8")"
           R"( height="8"><fragment frame="1" x="0" y="0"/></stripe></textures>)" +
           Recording("screen", R"(name="screen" src="a.png")", ScreenControls()) +
           Recording("menu", R"(name="menu" src="a.png")", ScreenControls()) +
           Recording("page", R"(name="page" src="a.png")", ScreenControls()) +
           Recording("loading", R"(name="loading" src="a.png")", ScreenControls()) +
           Recording("pano", R"(name="pano" src="p.dds")", PanoControls()) +
           Recording("menupano", R"(name="menupano" src="p.dds")", PanoControls()) +
           Recording("cut", R"(name="cut" pano="pano")",
                     R"(<script time="0">__record()</script>)") +
           Recording("video", R"(name="video" src="v.ogv" timeout="1000")") +
           Recording("transition", R"(name="x" from="screen" to="pano")") +
           "</part></map></korvantine>";
}

class ScriptingReferenceTest : public test::GameFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    ScriptingReferenceTest() {
        opts().nomultithread_ = true;
        opts().noload_ = true;
        std::filesystem::create_directories(root_ / "Data");
        std::filesystem::create_directories(root_ / "Bin");
        test::WriteFile(root_ / "Data" / "korvantine.xml", Definition());
        Locator::Instance().Init(root_.Path().string());
    }

    test::TempDir root_;
};

TEST_F(ScriptingReferenceTest, EveryGlobalOfTheEngineIsDescribed) {
    g_published.clear();
    lua_State* L = game().lua_.Handle();
    lua_register(L, "__record", &Record);
    // The definition (the script API, every state's and control's "init"), then the options
    // file's globals, a save (the variable dump's global), then each state started and
    // stopped as a visit does.
    game().Load();
    opts().Init();
    ASSERT_TRUE(game().SaveGame(1));
    for (const auto& [name, state] : game().map_.GetStates()) {
        if (name.rfind("t_", 0) != 0) {
            state->FireStart();
            state->FireStop();
        }
    }
    // A state's functions are seen only while its scripts run: the recording must have met
    // the functions of every kind.
    for (const char* bound :
         {"is_active", "set_pos", "set_fov", "pano_dist", "pano_dist_ex", "set_sound", "set_state",
          "state", "set_opacity", "pos", "posy", "set_text"}) {
        EXPECT_EQ(g_published.count(bound), 1u) << bound << " was not seen bound";
    }

    // The engine's globals: what the game's interpreter holds beyond a bare interpreter's.
    std::set<std::string> functions = g_published;
    std::set<std::string> values;
    lua_State* bare = luaL_newstate();
    luaL_openlibs(bare);
    std::set<std::string> standard;
    ForEachGlobal(bare, [&](const std::string& name, bool) { standard.insert(name); });
    lua_close(bare);
    ForEachGlobal(L, [&](const std::string& name, bool) {
        if (standard.count(name) != 0 || name == "__record") {
            return;
        }
        lua_getfield(L, LUA_GLOBALSINDEX, name.c_str());
        (lua_isfunction(L, -1) ? functions : values).insert(name);
        lua_pop(L, 1);
    });
    EXPECT_EQ(values.count("vars"), 1u);
    EXPECT_EQ(values.count("vars_d"), 1u);
    EXPECT_EQ(values.count("opts_video_light"), 1u);
    EXPECT_EQ(functions.count("vardump"), 1u);

    const std::string doc = test::ReadFile(std::string(KV_SOURCE_DIR) + "/docs/scripting.md");
    // A function is described under its signature, a value under its name.
    for (const std::string& name : functions) {
        EXPECT_NE(doc.find("`" + name + "("), std::string::npos)
            << "docs/scripting.md does not describe the function " << name;
    }
    for (const std::string& name : values) {
        EXPECT_NE(doc.find("`" + name + "`"), std::string::npos)
            << "docs/scripting.md does not describe the global " << name;
    }
    // And the reference describes no function the engine does not have: each heading "### `f("
    // names one of them.
    for (std::size_t at = doc.find("### `"); at != std::string::npos;
         at = doc.find("### `", at + 1)) {
        const std::size_t start = at + 5;
        const std::size_t end = doc.find_first_of("(`", start);
        ASSERT_NE(end, std::string::npos);
        if (doc[end] == '(') {
            const std::string name = doc.substr(start, end - start);
            EXPECT_EQ(functions.count(name), 1u)
                << "docs/scripting.md describes " << name << ", which the engine does not have";
        }
    }
}

} // namespace
