// Saving and loading games: the slot files, their "data" and "info" entries, and the
// "game" record.
#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/SaveInfo.h"
#include "Include/common/XmlSer.h"
#include "Script/Exception.h"
#include "Script/Pop.h"

#include <filesystem>
#include <optional>
#include <wx/mstream.h>

namespace {

// The bytes of the entry of the save game at path, or false when the file is no readable
// pack or lacks the entry. The file is mounted afresh, since it may have been rewritten
// since it was last read.
bool ReadEntry(const std::string& path, const std::string& entry, std::vector<std::uint8_t>& out) {
    if (!Pack::Mount(path)) {
        return false;
    }
    const std::unique_ptr<wxInputStream> stream =
        Locator::Instance().OpenLocation(path + "#kpk:" + entry);
    if (stream == nullptr) {
        return false;
    }
    out.clear();
    std::uint8_t chunk[16 * 1024];
    while (stream->Read(chunk, sizeof chunk).LastRead() > 0) {
        out.insert(out.end(), chunk, chunk + stream->LastRead());
    }
    return stream->GetLastError() == wxSTREAM_EOF || stream->GetLastError() == wxSTREAM_NO_ERROR;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Reads what a "game" document must hold before anything of the running game is touched:
// the root, its attributes, the "map" element with its own naming a part and a state that
// the definition still has, and a "vars" text that Lua can load. Throws xs::exception (or
// boost::bad_lexical_cast) otherwise.
void CheckData(const std::string& text, lua_State* L, Map& map) {
    wxMemoryInputStream stream(text.data(), text.size());
    xs::IArchive archive(stream);
    std::string vars;
    std::string last;
    std::string part;
    float time = 0.0f;
    bool control = false;
    if (!archive.OpenChild("game")) {
        throw xs::exception();
    }
    archive& xs::nvp("vars", vars) & xs::nvp("time", time) & xs::nvp("control", control);
    if (!archive.OpenChild("map")) {
        throw xs::exception();
    }
    archive& xs::nvp("last", last) & xs::nvp("part", part);
    if ((!part.empty() && map.GetParts().count(part) == 0) ||
        (!last.empty() && map.GetStates().count(last) == 0)) {
        throw xs::exception();
    }
    if (luaL_loadbuffer(L, vars.data(), vars.size(), "vars") != 0) {
        lua_pop(L, 1);
        throw xs::exception();
    }
    lua_pop(L, 1);
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

std::string Game::SaveData() {
    lua_.Call("vardump");
    lua_getfield(lua_.Handle(), LUA_GLOBALSINDEX, "vars_d");
    varsText_ = lua::PopString(lua_.Handle());
    wxMemoryOutputStream stream;
    xs::OArchive archive(stream);
    archive.AddChild("game");
    SaveXml(archive);
    archive.Close();
    if (!archive.Finish()) {
        throw exception("Cannot write the save game document");
    }
    std::string text(stream.GetLength(), '\0');
    stream.CopyTo(text.data(), text.size());
    return text;
}

void Game::ApplySaveData(const std::string& text) {
    map_.Reset();
    inventory_.Reset();
    mask_ = false;
    wxMemoryInputStream stream(text.data(), text.size());
    xs::IArchive archive(stream);
    LoadXmlRoot(archive);
    lua_.Execute(varsText_);
}

void Game::SaveGame(int slot) {
    if (Slot(slot, "game_save") == nullptr) {
        return;
    }
    const std::string text = SaveData();
    Locator& locator = Locator::Instance();
    std::error_code error;
    std::filesystem::create_directories(locator.SaveDir(), error);
    const std::string path = locator.SavePath(slot);
    Pack::Entries entries;
    entries["data"].assign(text.begin(), text.end());
    entries["info"] = SaveInfo::Encode(GameTime(), map_.PartName());
    if (error || !Pack::Write(entries, path)) {
        LogFormat("Cannot write save game '%1%'", path);
        throw exception("Cannot write save game '" + path + "'");
    }
}

void Game::LoadGame(int slot) {
    if (Slot(slot, "game_load") == nullptr) {
        return;
    }
    const std::string path = Locator::Instance().SavePath(slot);
    if (!FileExists(path)) {
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadEntry(path, "data", bytes)) {
        LogFormat("Bad save game '%1%': no game data", path);
        return;
    }
    const std::string text(bytes.begin(), bytes.end());
    try {
        CheckData(text, lua_.Handle(), map_);
    } catch (const std::exception&) {
        LogFormat("Bad save game '%1%': not a saved game", path);
        return;
    }
    // A record that fails part-way is undone from the game as it stood.
    const std::string previous = SaveData();
    std::optional<std::string> failure;
    try {
        ApplySaveData(text);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (const lua::exception& e) {
        failure = e.Text();
    }
    if (failure) {
        LogFormat("Bad save game '%1%': %2%", path, *failure);
        ApplySaveData(previous);
        return;
    }
    map_.Return();
}

void Game::RefreshSaves() {
    for (int i = 1; i <= kSaveSlots; ++i) {
        SaveSlot& summary = saves_[static_cast<std::size_t>(i - 1)];
        summary = SaveSlot{};
        const std::string path = Locator::Instance().SavePath(i);
        if (!FileExists(path)) {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        if (!ReadEntry(path, "info", bytes) ||
            !SaveInfo::Decode(bytes, summary.time_, summary.part_)) {
            LogFormat("Bad save game '%1%': no summary", path);
        }
    }
}
