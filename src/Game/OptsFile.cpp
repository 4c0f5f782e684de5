// The options file: the player's options as Lua text, read at start-up and rewritten by the
// options menu's scripts.

#include "FileSystem/AtomicFile.h"
#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"
#include "Script/Pop.h"
#include "Script/Sandbox.h"

#include <algorithm>
#include <array>
#include <boost/format.hpp>
#include <cfloat>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <sstream>

namespace Opts {
namespace {

// Every line of the file is this wide before its placeholder is filled in.
constexpr std::size_t kLineWidth = 56;

constexpr std::array<const char*, 17> kLines = {
    "",
    "opts_video_light = %1% ;",
    "opts_video_vsync = %2% ;",
    "",
    "opts_video_brightness = %3% ;",
    "",
    "opts_audio_music = %4% ;",
    "opts_audio_sound = %5% ;",
    "",
    "opts_game_nomove = %6% ;",
    "opts_game_noidle = %7% ;",
    "opts_game_intro  = %8% ;",
    "",
    "opts_mouse_invert     = %9% ;",
    "opts_mouse_lefthanded = %10% ;",
    "",
    "opts_mouse_sensitivity = %11% ;",
};

const std::string& Template() {
    static const std::string text = [] {
        std::string all;
        for (const char* line : kLines) {
            std::string padded(line);
            padded.resize(kLineWidth, ' ');
            all += padded + "\n";
        }
        return all;
    }();
    return text;
}

std::string Text(bool value) {
    return value ? "true" : "false";
}

// As a default-formatted stream prints it (6 significant digits), whatever the locale.
template <typename T>
std::string Text(T value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// The global's value, read without metamethods, left on the stack.
void PushGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
}

bool PopBool(lua_State* L, const char* name) {
    PushGlobal(L, name);
    const bool value = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return value;
}

// A number narrowed to float without undefined behaviour: NaN is 0, values beyond float's
// range (infinities included) saturate, so that the file always reads back.
float PopFloat(lua_State* L, const char* name) {
    PushGlobal(L, name);
    const double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    if (std::isnan(value)) {
        return 0.0f;
    }
    return static_cast<float>(
        std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

int PopIntGlobal(lua_State* L, const char* name) {
    PushGlobal(L, name);
    return lua::PopInt(L);
}

std::string OptionsPath() {
    return Locator::Instance().OptionsPath();
}

// What the options file may set each global to; anything else keeps the default.
enum class Kind { Flag, Unit, Whole };

struct Option {
    const char* name;
    Kind kind;
};

constexpr std::array<Option, 11> kOptions = {{
    {"opts_video_light", Kind::Flag},
    {"opts_video_vsync", Kind::Flag},
    {"opts_video_brightness", Kind::Unit},
    {"opts_audio_music", Kind::Unit},
    {"opts_audio_sound", Kind::Unit},
    {"opts_game_nomove", Kind::Flag},
    {"opts_game_noidle", Kind::Flag},
    {"opts_game_intro", Kind::Whole},
    {"opts_mouse_invert", Kind::Flag},
    {"opts_mouse_lefthanded", Kind::Flag},
    {"opts_mouse_sensitivity", Kind::Unit},
}};

// Whether the value on the top of the stack is one the option can take.
bool Fits(lua_State* L, Kind kind) {
    if (kind == Kind::Flag) {
        return lua_type(L, -1) == LUA_TBOOLEAN;
    }
    if (lua_type(L, -1) != LUA_TNUMBER) {
        return false;
    }
    const double value = lua_tonumber(L, -1);
    if (kind == Kind::Unit) {
        return value >= 0.0 && value <= 1.0;
    }
    return value > static_cast<double>(INT_MIN) - 1.0 && value < static_cast<double>(INT_MAX) + 1.0;
}

const char* Expected(Kind kind) {
    switch (kind) {
    case Kind::Flag:
        return "true or false";
    case Kind::Unit:
        return "a number from 0 to 1";
    default:
        return "a whole number";
    }
}

// A table of the option globals' present values, left on the stack.
void PushGlobals(lua_State* L) {
    lua_createtable(L, 0, static_cast<int>(kOptions.size()));
    for (const Option& option : kOptions) {
        PushGlobal(L, option.name);
        lua_setfield(L, -2, option.name);
    }
}

// Runs the player's options file as a save's variables run: in an environment of its own that
// holds the option globals' present values (the defaults), with no library and no function
// of the engine, within the sandbox's budgets of instructions, time and memory. The values
// the file leaves there are copied into the globals; nothing else it did is kept. A file
// that fails keeps every default; a value an option cannot take keeps that option's default.
// Both are logged.
void RunFile(const std::string& path, const std::string& text) {
    lua_State* L = game().lua_.Handle();
    PushGlobals(L);
    std::string message;
    if (!lua::RunIn(L, text, "=korvantine.cfg", message)) {
        // One line, whatever bytes of the file the message quotes.
        std::replace_if(
            message.begin(), message.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
        LogFormat("Options file '%1%' not used, the defaults are kept: %2%", path, message);
        return;
    }
    const int env = lua_gettop(L);
    for (const Option& option : kOptions) {
        lua_pushstring(L, option.name);
        lua_pushvalue(L, -1);
        lua_rawget(L, env);
        if (Fits(L, option.kind)) {
            lua_rawset(L, LUA_GLOBALSINDEX);
        } else {
            LogFormat("Options file '%1%': %2% is not %3%, the default is kept", path, option.name,
                      Expected(option.kind));
            lua_pop(L, 2);
        }
    }
    lua_settop(L, env - 1);
}

} // namespace

std::string Data::Format() const {
    return (boost::format(Template()) % Text(light_) % Text(vsync_) % Text(brightness_) %
            Text(musicVolume_) % Text(soundVolume_) % Text(nomove_) % Text(noidle_) % Text(intro_) %
            Text(mouseInvert_) % Text(mouseLeftHanded_) % Text(mouseSensitivity_))
        .str();
}

void Data::Write() const {
    const std::string path = OptionsPath();
    if (!AtomicFile::WriteWhole(path, Format())) {
        LogFormat("Cannot write file '%1%'", path);
    }
}

void Data::Update() {
    lua_State* L = game().lua_.Handle();
    light_ = PopBool(L, "opts_video_light");
    vsync_ = PopBool(L, "opts_video_vsync");
    brightness_ = PopFloat(L, "opts_video_brightness");
    musicVolume_ = PopFloat(L, "opts_audio_music");
    soundVolume_ = PopFloat(L, "opts_audio_sound");
    nomove_ = PopBool(L, "opts_game_nomove");
    noidle_ = PopBool(L, "opts_game_noidle");
    intro_ = PopIntGlobal(L, "opts_game_intro");
    mouseInvert_ = PopBool(L, "opts_mouse_invert");
    mouseLeftHanded_ = PopBool(L, "opts_mouse_lefthanded");
    mouseSensitivity_ = PopFloat(L, "opts_mouse_sensitivity");
}

void Data::Init() {
    const std::string path = OptionsPath();
    // Every option global starts from the record, so that an option the file does not set
    // keeps its default.
    game().lua_.Execute(Format());
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (std::filesystem::is_regular_file(status)) {
        std::ifstream file(path, std::ios::binary);
        if (file) {
            const std::string text{std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>()};
            RunFile(path, text);
            Update();
            return;
        }
    }
    // Without a file the defaults are written as a new file. A file that is there but
    // cannot be read is not replaced.
    if (status.type() != std::filesystem::file_type::not_found) {
        LogFormat("Cannot read file '%1%'", path);
        return;
    }
    Write();
}

} // namespace Opts
