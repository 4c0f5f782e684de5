#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>

// Where the engine is at work, for the log line that goes with an error: the part, state and
// control of the game definition being read, or whose script runs, and the event. Each
// thread keeps its own place; a scope sets one level of it for its length.
namespace Where {

enum Level : std::size_t { kPart, kState, kControl, kEvent, kLevels };

// One text per level, such as "part 'intro'", "state 'hall'", "control imagemapped 'door'"
// and "event 'click'"; an empty text is a level not set.
using Place = std::array<std::string, kLevels>;

// what + " '" + name + "'", or empty when the name is.
std::string Named(const std::string& what, const std::string& name);

// The levels set, outermost first, joined by ", ".
std::string Text(const Place& place);

// The place of the calling thread.
const Place& Current();

class Scope {
public:
    // Sets one level for the length of the scope and clears the deeper ones.
    Scope(Level level, std::string text);
    // Sets the whole place (one remembered earlier, such as a control's), then one level.
    Scope(const Place& place, Level level, std::string text);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Place previous_;
};

// What a reader of the definition is looking at (the attribute it read last, or where the
// text is not well formed), described only when an error is reported. It holds for the
// innermost scope running when it is set: a scope beginning or ending forgets it.
void SetFocus(std::function<std::string()> describe);

// Runs one step of reading the game definition. An error leaving it is logged once, by the
// innermost step it leaves, as "Definition error in <place>: <focus>" (either part may be
// missing), then passes on unchanged. Lua errors are not logged here: the interpreter logs
// them where they arise (LuaError).
void Reading(const std::function<void()>& body);
// The same inside a scope that sets one level.
void Reading(Level level, std::string text, const std::function<void()>& body);

// Logs a Lua error with the interpreter's own message (chunk name and line):
// "Lua error in <place>: <message>", or "Lua error: <message>" outside any place.
void LuaError(const std::string& message);

} // namespace Where
