#include "Game/SaveCheck.h"

#include "Game/Inventory.h"
#include "Game/Map.h"
#include "Game/SavePack.h"
#include "Include/common/Text.h"
#include "Include/common/XmlSer.h"
#include "Script/Sandbox.h"
#include "States/Base.h"

#include <boost/lexical_cast.hpp>
#include <wx/stream.h>

namespace SaveCheck {
namespace {

// An output stream into a string, which grows geometrically: a memory stream grows by each
// write, so every small write after a long value would copy the whole document again.
class StringOutput : public wxOutputStream {
public:
    explicit StringOutput(std::string& text) : text_(text) {}

private:
    size_t OnSysWrite(const void* buffer, size_t size) override {
        text_.append(static_cast<const char*>(buffer), size);
        return size;
    }

    std::string& text_;
};

std::string StateRecord(State::Base& state) {
    std::string text;
    if (!WriteDocument(
            "state", [&state](xs::OArchive& archive) { state.SaveState(archive); }, text)) {
        throw xs::exception();
    }
    return text;
}

void ReadStateRecord(State::Base& state, const std::string& text) {
    xs::IArchive archive(text);
    if (!archive.OpenChild("state")) {
        throw xs::exception();
    }
    state.LoadState(archive);
}

// Each "state" element of the open "map" element: its name, and its record read by the state
// of that name, whose own record is written first and read back at once, whether the save's
// record read or not. A record reads the same after a reset as before it, so one that reads
// here reads when the game is loaded.
void TryStateRecords(xs::IArchive& archive, Map& map) {
    if (!archive.OpenChild("state")) {
        return;
    }
    do {
        const std::optional<std::string> name = archive.Attribute("name");
        if (!name) {
            throw xs::exception();
        }
        const auto found = map.GetStates().find(*name);
        if (found == map.GetStates().end() || !found->second) {
            continue;
        }
        State::Base& state = *found->second;
        const std::string kept = StateRecord(state);
        try {
            state.LoadState(archive);
        } catch (...) {
            ReadStateRecord(state, kept);
            throw;
        }
        ReadStateRecord(state, kept);
    } while (archive.NextSibling());
    archive.Close();
}

} // namespace

bool WriteDocument(const std::string& root, const std::function<void(xs::OArchive&)>& write,
                   std::string& text) {
    text.clear();
    StringOutput stream(text);
    xs::OArchive archive(stream);
    archive.AddChild(root);
    write(archive);
    archive.Close();
    return archive.Finish();
}

bool RunVars(lua_State* L, const std::string& text, std::string& reason) {
    if (!lua::RunIsolated(L, text, "=vars", reason)) {
        return false;
    }
    lua_pushliteral(L, "vars");
    lua_rawget(L, -2);
    lua_remove(L, -2);
    if (const std::string fault = lua::DataFault(L, -1); !fault.empty()) {
        lua_pop(L, 1);
        reason = "vars " + fault;
        return false;
    }
    return true;
}

bool Check(const std::string& text, Map& map, lua_State* L, std::string& reason) {
    // What loading would not read is refused before it is parsed.
    if (text.size() > SavePack::kMaxData) {
        reason = "the game data is " + std::to_string(text.size()) + " bytes, more than " +
                 std::to_string(SavePack::kMaxData);
        return false;
    }
    try {
        xs::IArchive archive(text);
        if (!archive.OpenChild("game")) {
            reason = archive.Error().empty() ? "not a saved game" : archive.Error();
            return false;
        }
        std::string vars;
        float time = 0.0f;
        bool control = false;
        Inventory inventory;
        archive& xs::nvp("vars", vars) & xs::nvp("time", time) & xs::nvp("control", control) &
            xs::nvp("inventory", inventory);
        if (time < 0.0f) {
            reason = "the play time " + xs::text::FormatFloat(time) + " is negative";
            return false;
        }
        if (!archive.OpenChild("map")) {
            throw xs::exception();
        }
        std::string last;
        std::string part;
        archive& xs::nvp("last", last) & xs::nvp("part", part);
        if (!part.empty() && map.GetParts().count(part) == 0) {
            reason = "the game has no part '" + part + "'";
            return false;
        }
        if (!last.empty() && map.GetStates().count(last) == 0) {
            reason = "the game has no state '" + last + "'";
            return false;
        }
        TryStateRecords(archive, map);
        return RunVars(L, vars, reason);
    } catch (const xs::exception&) {
        reason = "a record lacks an item";
    } catch (const boost::bad_lexical_cast&) {
        reason = "a number does not read";
    } catch (const std::exception& e) {
        reason = e.what();
    }
    return false;
}

} // namespace SaveCheck
