#include "Game/Where.h"

#include "Game/Log.h"
#include "Script/Exception.h"

#include <exception>
#include <utility>

namespace Where {

namespace {

struct Context {
    Place place;
    std::function<std::string()> focus;
    // Nested Reading steps running, and the error the innermost of them has logged.
    int reading = 0;
    std::exception_ptr reported;
};

Context& This() {
    thread_local Context context;
    return context;
}

// In a handler: logs the error being handled, unless a deeper step has logged it already.
void ReportOnce(Context& c) {
    std::exception_ptr error = std::current_exception();
    if (error == c.reported) {
        return;
    }
    c.reported = std::move(error);
    const std::string place = Text(c.place);
    const std::string focus = c.focus ? c.focus() : std::string();
    if (place.empty() && focus.empty()) {
        return;
    }
    std::string line = "Definition error";
    if (!place.empty()) {
        line += " in " + place;
    }
    LogWrite(focus.empty() ? line : line + ": " + focus);
}

} // namespace

std::string Named(const std::string& what, const std::string& name) {
    return name.empty() ? std::string() : what + " '" + LogValue(name) + "'";
}

std::string Text(const Place& place) {
    std::string text;
    for (const std::string& level : place) {
        if (!level.empty()) {
            text += (text.empty() ? "" : ", ") + level;
        }
    }
    return text;
}

const Place& Current() {
    return This().place;
}

Scope::Scope(Level level, std::string text) : Scope(This().place, level, std::move(text)) {}

Scope::Scope(const Place& place, Level level, std::string text) {
    Context& c = This();
    previous_ = c.place;
    if (&place != &c.place) {
        c.place = place;
    }
    c.place[level] = std::move(text);
    for (std::size_t deeper = level + 1; deeper < kLevels; ++deeper) {
        c.place[deeper].clear();
    }
    c.focus = nullptr;
}

Scope::~Scope() {
    Context& c = This();
    c.place = std::move(previous_);
    c.focus = nullptr;
}

void SetFocus(std::function<std::string()> describe) {
    This().focus = std::move(describe);
}

void Reading(const std::function<void()>& body) {
    // The outermost step forgets the error it logged and the focus, whatever way it ends.
    struct Step {
        Context& c;
        explicit Step(Context& context) : c(context) { ++c.reading; }
        ~Step() {
            if (--c.reading == 0) {
                c.reported = nullptr;
                c.focus = nullptr;
            }
        }
    } step(This());
    try {
        body();
    } catch (const lua::exception&) {
        throw;
    } catch (...) {
        ReportOnce(step.c);
        throw;
    }
}

void Reading(Level level, std::string text, const std::function<void()>& body) {
    const Scope scope(level, std::move(text));
    Reading(body);
}

void LuaError(const std::string& message) {
    const std::string place = Text(This().place);
    LogWrite((place.empty() ? "Lua error: " : "Lua error in " + place + ": ") + message);
}

} // namespace Where
