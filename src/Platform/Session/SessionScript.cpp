#include "Platform/Session/SessionScript.h"

#include <SDL_keyboard.h>
#include <algorithm>
#include <charconv>
#include <limits>
#include <sstream>

namespace Session {

namespace {

// The frame's size in pixels: a move aims inside it.
constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 768;

// A whole decimal number in [low, high], or false.
template <typename T>
bool Number(const std::string& word, T low, T high, T& out) {
    T value{};
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool ButtonNamed(const std::string& word, Command::Button& out) {
    if (word == "left") {
        out = Command::Button::Left;
    } else if (word == "right") {
        out = Command::Button::Right;
    } else if (word == "middle") {
        out = Command::Button::Middle;
    } else {
        return false;
    }
    return true;
}

// A name for a file in the capture folder: no folders, no way out of it.
bool PlainPngName(const std::string& name) {
    const std::string suffix = ".png";
    return name.size() > suffix.size() && name.find_first_of("/\\") == std::string::npos &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class LineParser {
public:
    explicit LineParser(Script& script) : script_(script) {}

    // Empty when the line is good, else the reason.
    std::string Parse(const std::vector<std::string>& words) {
        const std::string& verb = words[0];
        if (verb == "step" || verb == "range") {
            if (words.size() != 2) {
                return "'" + verb + "' takes one number";
            }
            if (verb == "step") {
                return Number(words[1], 1u, 60000u, script_.step)
                           ? ""
                           : "the step must be a whole number of milliseconds from 1 to 60000";
            }
            return Number(words[1], 1, 1000000, script_.range)
                       ? ""
                       : "the range must be a whole number of mouse units from 1 to 1000000";
        }
        if (verb != "at") {
            return "unknown command '" + verb + "'";
        }
        Command command;
        if (words.size() < 3 ||
            !Number(words[1], 1u, std::numeric_limits<unsigned>::max() - 1, command.frame)) {
            return "'at' needs a frame number from 1 and an action";
        }
        return Action(command, words[2], {words.begin() + 3, words.end()});
    }

private:
    std::string Action(Command command, const std::string& action,
                       const std::vector<std::string>& args) {
        const auto wrongCount = [&](const char* usage) {
            return "'" + action + "' takes " + usage;
        };
        if (action == "move") {
            if (args.size() != 2) {
                return wrongCount("a pixel: x y");
            }
            if (!Number(args[0], 0, kFrameWidth - 1, command.x) ||
                !Number(args[1], 0, kFrameHeight - 1, command.y)) {
                return "the pixel must lie in the 1024x768 frame";
            }
            Command pin = command;
            pin.kind = Command::Kind::Pin;
            script_.commands.push_back(pin);
            command.kind = Command::Kind::MoveFromCorner;
            ++command.frame;
        } else if (action == "press" || action == "release") {
            if (args.size() != 1) {
                return wrongCount("a button: left, right or middle");
            }
            if (!ButtonNamed(args[0], command.button)) {
                return "unknown button '" + args[0] + "'";
            }
            command.kind = action == "press" ? Command::Kind::Press : Command::Kind::Release;
        } else if (action == "keydown" || action == "keyup") {
            if (args.size() != 1) {
                return wrongCount("a key name");
            }
            command.scancode = SDL_GetScancodeFromName(args[0].c_str());
            if (command.scancode == SDL_SCANCODE_UNKNOWN) {
                return "unknown key '" + args[0] + "'";
            }
            command.kind = action == "keydown" ? Command::Kind::KeyDown : Command::Kind::KeyUp;
        } else if (action == "capture") {
            if (args.size() != 1 || !PlainPngName(args[0])) {
                return wrongCount("a plain file name ending in .png");
            }
            command.kind = Command::Kind::Capture;
            command.file = args[0];
        } else if (action == "close") {
            if (!args.empty()) {
                return wrongCount("nothing more");
            }
            command.kind = Command::Kind::Close;
        } else {
            return "unknown action '" + action + "'";
        }
        script_.commands.push_back(command);
        return "";
    }

    Script& script_;
};

} // namespace

bool ParseScript(const std::string& text, Script& out, std::string& error) {
    out = Script{};
    LineParser parser(out);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::vector<std::string> split;
        for (std::string word; words >> word;) {
            split.push_back(word);
        }
        if (split.empty()) {
            continue;
        }
        if (std::string reason = parser.Parse(split); !reason.empty()) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
    }
    std::stable_sort(out.commands.begin(), out.commands.end(),
                     [](const Command& a, const Command& b) { return a.frame < b.frame; });
    return true;
}

} // namespace Session
