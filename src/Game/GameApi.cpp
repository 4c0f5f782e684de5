// The script API: what the game's Lua scripts see of the engine.

#include "Game/Game.h"
#include "Game/Opts.h"
#include "Script/Sandbox.h"

namespace {

// The variable dump, run once when the API is published. `vardump` writes into `vars_d`
// Lua text that rebuilds `vars` when run: "vars = { ... }". Strings are escaped, keys
// that are not Lua names are written as ["..."], pairs whose key is neither a string nor
// a number are left out, numbers keep every digit they need and the non-finite ones are
// written as expressions, and a table met again on its own path is written as nil. A table
// nested deeper than `max_depth` (set before this text) is an error: Lua could not read the
// text back. The three functions are ordinary globals, so a script may replace them.
const char* const kVarDump = R"lua(
local reserved = {}
for word in string.gmatch("and break do else elseif end false for function if in local nil not or repeat return then true until while", "%a+") do
  reserved[word] = true
end
local escapes = { ["\\"] = "\\\\", ['"'] = '\\"', ["\n"] = "\\n", ["\r"] = "\\r", ["\t"] = "\\t" }
local function dump_string(s)
  local text = string.gsub(s, '[%c\\"\127]', function(c)
    return escapes[c] or string.format("\\%03d", string.byte(c))
  end)
  return '"' .. text .. '"'
end
local function dump_number(n)
  if n ~= n then return "0/0" end
  if n == math.huge then return "1/0" end
  if n == -math.huge then return "-1/0" end
  local text = tostring(n)
  if tonumber(text) ~= n then text = string.format("%.17g", n) end
  return text
end
function dump_key(k)
  if type(k) == "string" then
    if string.find(k, "^[%a_][%w_]*$") and not reserved[k] then return k end
    return "[" .. dump_string(k) .. "]"
  elseif type(k) == "number" then
    return "[" .. dump_number(k) .. "]"
  end
  return nil
end
function dump_value(t, path, depth)
  local kind = type(t)
  if kind == "table" then
    path = path or {}
    if path[t] then return "nil" end
    depth = (depth or 0) + 1
    if depth > max_depth then
      error("vars is nested deeper than " .. max_depth .. " tables", 0)
    end
    path[t] = true
    local items = {}
    for k, v in pairs(t) do
      local key = dump_key(k)
      if key then items[#items + 1] = key .. " = " .. dump_value(v, path, depth) end
    end
    path[t] = nil
    return "{ " .. table.concat(items, ", ") .. " }"
  elseif kind == "string" then
    return dump_string(t)
  elseif kind == "number" then
    return dump_number(t)
  elseif kind == "boolean" then
    return tostring(t)
  end
  return "nil"
end
function vardump()
  vars_d = "vars = " .. dump_value(vars)
end
)lua";

} // namespace

void Game::RegisterApi() {
    lua_.Execute("vars = {}");
    lua_.Execute("local max_depth = " + std::to_string(lua::kMaxDataDepth) + "\n" + kVarDump);

    // The globals in their fixed order. Those whose owners are not part of the game yet
    // are published here, in their places, when the owners join it.
    lua_.Register("context", &cursor_, &Cursor::GetContext);
    lua_.Register("move", &map_, &Map::SetState);
    lua_.Register("play", &sound_, &Sound::Manager::Play);
    lua_.Register("fade", &sound_, &Sound::Manager::Fade);
    lua_.Register("time", this, &Game::Time);
    lua_.Register("rand", this, &Game::Rand);
    lua_.Register("dice", this, &Game::Dice);
    lua_.Register("trace", this, &Game::Trace);
    lua_.Register("halt", this, &Game::Halt);
    lua_.Register("mask", this, &Game::SetMask);
    lua_.Register("control", this, &Game::SetControl);
    lua_.Register("speed", this, &Game::SetSpeed);
    lua_.Register("inv_put", &inventory_, &Inventory::Put);
    lua_.Register("inv_del", &inventory_, &Inventory::Del);
    lua_.Register("inv_has", &inventory_, &Inventory::Has);
    lua_.Register("lib_put", &inventory_, &Inventory::LibPut);
    lua_.Register("lib_next", &inventory_, &Inventory::NextPage);
    lua_.Register("lib_prev", &inventory_, &Inventory::PrevPage);
    lua_.Register("library", &inventory_, &Inventory::OpenBook);
    lua_.Register("lib_page", &inventory_, &Inventory::OpenPage);
    lua_.Register("game_reset", this, &Game::Reset);
    lua_.Register("game_end", &map_, &Map::End);
    lua_.Register("game_return", &map_, &Map::Return);
    lua_.Register("game_menu", &map_, &Map::Menu);
    lua_.Register("game_started", &map_, &Map::IsStarted);
    lua_.Register("game_exit", this, &Game::Exit);
    lua_.Register("game_save", this, &Game::SaveGame);
    lua_.Register("game_load", this, &Game::LoadGame);
    lua_.Register("game_progress", &map_, &Map::GetProgress);
    lua_.Register("game_time", this, &Game::GameTime);
    lua_.Register("game_save_refresh", this, &Game::RefreshSaves);
    lua_.Register("game_save_part", this, &Game::SavePart);
    lua_.Register("game_save_time", this, &Game::SaveTime);
    lua_.Register("part_load", &map_, &Map::LoadPartByName);
    lua_.Register("opts_write", &opts(), &Opts::Data::Write);
    lua_.Register("opts_update", &opts(), &Opts::Data::Update);
}

void Game::Reset() {
    lua_.Execute("vars = {}");
    map_.Reset();
    inventory_.Reset();
    mask_ = false;
    control_ = false;
    RestartClock();
}
