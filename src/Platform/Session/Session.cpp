#include "Platform/Session/Session.h"

#include "Game/Exception.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace Session {

namespace {

std::unique_ptr<Session> FromEnvironment() {
    const char* file = std::getenv(Session::kVariable);
    if (file == nullptr || *file == '\0') {
        return nullptr;
    }
    return Session::Load(file);
}

} // namespace

Session::Session(Script script, std::filesystem::path folder)
    : script_(std::move(script)), folder_(std::move(folder)) {}

Session* Session::Active() {
    // A throwing initialiser leaves the variable uninitialised: the next call tries again.
    static const std::unique_ptr<Session> active = FromEnvironment();
    return active.get();
}

std::unique_ptr<Session> Session::Load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text;
    if (in) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!in.is_open() || in.bad()) {
        throw exception("Cannot read the session script '" + file.string() + "'");
    }
    Script script;
    std::string error;
    if (!ParseScript(text, script, error)) {
        throw exception("Bad session script '" + file.string() + "', " + error);
    }
    return std::make_unique<Session>(std::move(script), file.parent_path());
}

std::uint64_t Session::Milliseconds() const {
    return std::uint64_t(Presented()) * script_.step;
}

std::int64_t Session::Counter() const {
    return std::int64_t(Milliseconds()) * (kCounterFrequency / 1000);
}

std::vector<std::filesystem::path> Session::CapturesOf(unsigned frame) const {
    std::vector<std::filesystem::path> files;
    for (const Command& command : script_.commands) {
        if (command.frame == frame && command.kind == Command::Kind::Capture) {
            files.push_back(folder_ / command.file);
        }
    }
    return files;
}

std::vector<Command> Session::TakeInput() {
    std::vector<Command> input;
    const unsigned next = Presented() + 1;
    for (; taken_ < script_.commands.size() && script_.commands[taken_].frame <= next; ++taken_) {
        if (script_.commands[taken_].kind != Command::Kind::Capture) {
            input.push_back(script_.commands[taken_]);
        }
    }
    return input;
}

} // namespace Session
