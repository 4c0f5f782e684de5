// Saving and loading games: the slot files, their "data" and "info" entries, and the
// "game" record.
#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/SaveCheck.h"
#include "Game/SaveInfo.h"
#include "Game/SavePack.h"
#include "Include/common/XmlSer.h"
#include "Script/Exception.h"
#include "Script/Pop.h"
#include "Script/Sandbox.h"

#include <filesystem>
#include <optional>

namespace {

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

void Game::SaveXml(xs::OArchive& archive) {
    float time = GameTime();
    archive& xs::nvp("inventory", inventory_) & xs::nvp("vars", varsText_) & xs::nvp("map", map_) &
        xs::nvp("time", time) & xs::nvp("control", control_);
}

void Game::LoadXml(xs::IArchive& archive) {
    float time = 0.0f;
    archive& xs::nvp("inventory", inventory_) & xs::nvp("vars", varsText_) & xs::nvp("map", map_) &
        xs::nvp("time", time) & xs::nvp("control", control_);
    // The clock goes on from the saved time when it runs again.
    std::lock_guard<std::mutex> lock(clockMutex_);
    playTime_ = clockBase_ = time;
    resumeTime_ = Time();
}

void Game::LoadXmlRoot(xs::IArchive& archive) {
    if (!archive.OpenChild("game")) {
        throw xs::exception();
    }
    LoadXml(archive);
    archive.Close();
}

namespace {

// The bounds of the variable dump. The dump is the game's own Lua (a script may replace it)
// writing the game's own variables: it may build a text as large as a save holds, several
// times over in passing, and take seconds over megabytes of it. Past that, it would hold
// the game rather than save it.
const lua::SandboxLimits kDumpLimits{10'000'000, 4 * SavePack::kMaxData, std::chrono::seconds(10)};

} // namespace

std::optional<std::string> Game::SaveData(const std::string& path) {
    // Within its bounds, vars too deep to read back, or holding one table in so many places
    // that their text would not end, refuse the save instead of raising an error in the
    // calling script or holding the game.
    lua_State* L = lua_.Handle();
    std::string reason;
    try {
        bool dumped = false;
        {
            const lua::Budgeted budgeted(L, kDumpLimits);
            dumped = lua_.Run("vardump()", "=vardump", reason);
        }
        if (dumped) {
            lua_pushliteral(L, "vars_d");
            lua_rawget(L, LUA_GLOBALSINDEX);
            varsText_ = lua::PopString(L);
            return Snapshot();
        }
    } catch (const lua::exception& e) { // vars_d is no string, or a bound function refused
        reason = e.Text();
    } catch (const std::exception& e) { // what a bound function the dump called threw
        reason = e.what();
    }
    LogFormat("Cannot write save game '%1%': %2%", path, reason);
    return std::nullopt;
}

std::optional<std::string> Game::Snapshot() {
    std::string text;
    if (!SaveCheck::WriteDocument(
            "game", [this](xs::OArchive& archive) { SaveXml(archive); }, text)) {
        LogWrite("Cannot write the save game document");
        return std::nullopt;
    }
    return text;
}

void Game::ApplySaveData(const std::string& text, int vars) {
    map_.Reset();
    inventory_.Reset();
    mask_ = false;
    xs::IArchive archive(text);
    LoadXmlRoot(archive);
    lua_State* L = lua_.Handle();
    lua_pushliteral(L, "vars");
    lua_pushvalue(L, vars);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

bool Game::SaveGame(int slot) {
    if (Slot(slot, "game_save") == nullptr) {
        return false;
    }
    Locator& locator = Locator::Instance();
    const std::string path = locator.SavePath(slot);
    const std::optional<std::string> text = SaveData(path);
    if (!text) {
        return false;
    }
    // Only a game that game_load would take is written: a `vars` text that does not rebuild
    // a table of data (a script set `vars` to something else, or replaced `vardump`) would
    // leave a file that can never be loaded, over a good one.
    lua_State* L = lua_.Handle();
    const int top = lua_gettop(L);
    std::string reason;
    const bool loadable = SaveCheck::Check(*text, map_, L, reason);
    lua_settop(L, top);
    if (!loadable) {
        LogFormat("Cannot write save game '%1%': %2%", path, reason);
        return false;
    }
    if (map_.PartName().size() > SavePack::kMaxPartName) {
        LogFormat("Cannot write save game '%1%': the part's name is longer than %2% bytes", path,
                  SavePack::kMaxPartName);
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(locator.SaveDir(), error);
    if (error) {
        LogFormat("Cannot write save game '%1%': %2%", path, error.message());
        return false;
    }
    Pack::Entries entries;
    entries["data"].assign(text->begin(), text->end());
    entries["info"] = SaveInfo::Encode(GameTime(), map_.PartName());
    // The pack replaces the old file only once it is complete: a failure leaves it as it was.
    if (!Pack::Write(entries, path)) {
        LogFormat("Cannot write save game '%1%'", path);
        return false;
    }
    return true;
}

bool Game::LoadGame(int slot) {
    if (Slot(slot, "game_load") == nullptr) {
        return false;
    }
    const std::string path = Locator::Instance().SavePath(slot);
    if (!FileExists(path)) {
        return false;
    }
    std::string text;
    std::string reason;
    if (!SavePack::Read(path, SavePack::kData, text, reason)) {
        LogFormat("Bad save game '%1%': %2%", path, reason);
        return false;
    }
    lua_State* L = lua_.Handle();
    const int top = lua_gettop(L);
    // Everything the load reads is read first; only a save that reads whole resets the game.
    if (!SaveCheck::Check(text, map_, L, reason)) {
        LogFormat("Bad save game '%1%': %2%", path, reason);
        return false;
    }
    const std::optional<std::string> previous = Snapshot();
    lua_pushliteral(L, "vars");
    lua_rawget(L, LUA_GLOBALSINDEX);
    std::optional<std::string> failure;
    if (previous) {
        try {
            ApplySaveData(text, top + 1);
        } catch (const std::exception& e) {
            failure = e.what();
        } catch (const lua::exception& e) { // a state's own "init" or "reset" script
            failure = e.Text();
        }
    } else {
        failure = "the game as it stands could not be kept";
    }
    if (failure) {
        LogFormat("Bad save game '%1%': %2%", path, *failure);
        if (previous) {
            Restore(*previous, top + 2);
        }
    }
    lua_settop(L, top);
    if (failure) {
        return false;
    }
    map_.Return();
    return true;
}

void Game::Restore(const std::string& snapshot, int vars) {
    // The states were reset once already; their records come back without a second reset,
    // so no state's "init" and "reset" scripts run twice.
    try {
        xs::IArchive archive(snapshot);
        LoadXmlRoot(archive);
    } catch (const std::exception& e) {
        LogFormat("Cannot restore the game: %1%", e.what());
    }
    lua_State* L = lua_.Handle();
    lua_pushliteral(L, "vars");
    lua_pushvalue(L, vars);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

void Game::RefreshSaves() {
    for (int i = 1; i <= kSaveSlots; ++i) {
        SaveSlot& summary = saves_[static_cast<std::size_t>(i - 1)];
        summary = SaveSlot{};
        const std::string path = Locator::Instance().SavePath(i);
        if (!FileExists(path)) {
            continue;
        }
        std::string bytes;
        std::string reason;
        if (!SavePack::Read(path, SavePack::kInfo, bytes, reason)) {
            LogFormat("Bad save game '%1%': %2%", path, reason);
        } else if (!SaveInfo::Decode(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                     summary.time_, summary.part_)) {
            LogFormat("Bad save game '%1%': the summary does not read", path);
        }
    }
}
