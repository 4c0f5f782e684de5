#pragma once

#include <functional>
#include <lua.hpp>
#include <string>

class Map;

namespace xs {
class OArchive;
} // namespace xs

// The look a save game gets before anything of the running game is reset for it, so that a
// damaged or hostile file is refused with the game left exactly as it was.
namespace SaveCheck {

// The XML document of one root element `root` whose record `write` writes; false when the
// document could not be made.
bool WriteDocument(const std::string& root, const std::function<void(xs::OArchive&)>& write,
                   std::string& text);

// Runs the "vars" text of a save in the sandbox (no globals, no libraries, no engine
// functions, limited instructions, time and memory). True when it built a table `vars` of
// plain values that the variable dump writes whole (lua::DataFault), which is left on the
// Lua stack; false with the reason otherwise, the stack as it was.
bool RunVars(lua_State* L, const std::string& text, std::string& reason);

// Reads every record of a "game" document that loading it reads: the root and its
// attributes, the inventory with its library (into a scratch inventory), the map's "last"
// and "part" (a state and a part that the definition has), the vars text (RunVars), and each
// state record, tried on its state and taken back at once. Nothing of the game changes and
// no script of the game runs. True with the vars table left on the Lua stack; false with the
// reason otherwise.
bool Check(const std::string& text, Map& map, lua_State* L, std::string& reason);

} // namespace SaveCheck
