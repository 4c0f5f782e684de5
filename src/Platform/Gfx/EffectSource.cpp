#include "Platform/Gfx/EffectSource.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

namespace Gfx {

namespace {

enum class Block { None, Common, Vertex, Fragment };

bool IsIdentifier(const std::string& s) {
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) {
        return false;
    }
    return std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

bool IsBlankOrComment(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line.compare(first, 2, "//") == 0;
}

const std::map<std::string, uint32_t>& BlendNames() {
    static const std::map<std::string, uint32_t> names = {
        {"zero", 1},      {"one", 2},          {"srccolor", 3},  {"invsrccolor", 4},
        {"srcalpha", 5},  {"invsrcalpha", 6},  {"destalpha", 7}, {"invdestalpha", 8},
        {"destcolor", 9}, {"invdestcolor", 10}};
    return names;
}

class Parser {
public:
    explicit Parser(EffectSource& out) : out_(out) {}

    bool Line(const std::string& line) {
        ++number_;
        if (ended_) {
            return IsBlankOrComment(line) || Fail("text after @end");
        }
        if (line.empty() || line[0] != '@') {
            if (block_ == Block::None) {
                return IsBlankOrComment(line) || Fail("text outside a code block");
            }
            Code() += line + "\n";
            return true;
        }
        std::istringstream words(line.substr(1));
        std::string directive;
        words >> directive;
        std::vector<std::string> args;
        for (std::string w; words >> w;) {
            args.push_back(w);
        }
        if (!started_ && directive != "effect") {
            return Fail("the first directive must be @effect 1");
        }
        block_ = Block::None;
        if (directive == "effect") {
            return Effect(args);
        }
        if (directive == "param") {
            return Param(args);
        }
        if (directive == "common") {
            return Common(args);
        }
        if (directive == "technique") {
            return Technique(args);
        }
        if (directive == "pass") {
            return Pass(args);
        }
        if (directive == "state") {
            return State(args);
        }
        if (directive == "vertex" || directive == "fragment") {
            return Stage(directive == "vertex", args);
        }
        if (directive == "end") {
            ended_ = args.empty() || Fail("@end takes no arguments");
            return ended_;
        }
        return Fail("unknown directive @" + directive);
    }

    bool Finish() {
        if (!started_) {
            return Fail("no @effect directive");
        }
        if (out_.techniques.empty()) {
            return Fail("no technique");
        }
        for (const EffectTechnique& t : out_.techniques) {
            if (t.passes.empty()) {
                return Fail("technique " + t.name + " has no pass");
            }
            for (const EffectPass& p : t.passes) {
                if (!p.hasVertex || !p.hasFragment) {
                    return Fail("a pass of technique " + t.name +
                                " needs one @vertex and one @fragment");
                }
            }
        }
        return true;
    }

    std::string error;

private:
    bool Fail(const std::string& message) {
        if (error.empty()) {
            error = "line " + std::to_string(number_) + ": " + message;
        }
        return false;
    }

    std::string& Code() {
        if (block_ == Block::Common) {
            return out_.common;
        }
        EffectPass& pass = out_.techniques.back().passes.back();
        return block_ == Block::Vertex ? pass.vertex : pass.fragment;
    }

    bool Effect(const std::vector<std::string>& args) {
        if (started_) {
            return Fail("a second @effect");
        }
        started_ = true;
        return (args.size() == 1 && args[0] == "1") || Fail("unsupported effect version");
    }

    bool Param(const std::vector<std::string>& args) {
        static const std::map<std::string, ParamType> types = {
            {"float", ParamType::Float},
            {"float4", ParamType::Float4},
            {"matrix", ParamType::Matrix},
            {"texture2d", ParamType::Texture2d},
            {"texturecube", ParamType::TextureCube}};
        if (!out_.techniques.empty()) {
            return Fail("@param after a technique");
        }
        if (args.size() < 2 || !types.contains(args[0]) || !IsIdentifier(args[1])) {
            return Fail("@param needs a type and a name");
        }
        EffectParam param;
        param.type = types.at(args[0]);
        param.name = args[1];
        for (const EffectParam& p : out_.params) {
            if (p.name == param.name) {
                return Fail("duplicate parameter " + param.name);
            }
        }
        const bool texture =
            param.type == ParamType::Texture2d || param.type == ParamType::TextureCube;
        for (size_t i = 2; i < args.size(); ++i) {
            const size_t eq = args[i].find('=');
            const std::string key = args[i].substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : args[i].substr(eq + 1);
            if (!texture) {
                return Fail("unknown key " + key);
            }
            if (key == "filter" && (value == "point" || value == "linear")) {
                param.linear = value == "linear";
            } else if (key == "mipfilter" &&
                       (value == "none" || value == "point" || value == "linear")) {
                param.mipFilter = value == "none" ? 0 : (value == "point" ? 1 : 2);
            } else if (key == "address" &&
                       (value == "wrap" || value == "mirror" || value == "clamp")) {
                param.address = value == "wrap" ? 1 : (value == "mirror" ? 2 : 3);
            } else {
                return Fail("unknown key or value " + args[i]);
            }
        }
        out_.params.push_back(param);
        return true;
    }

    bool Common(const std::vector<std::string>& args) {
        if (!args.empty() || hadCommon_ || !out_.techniques.empty()) {
            return Fail("@common stands once, before the techniques, without arguments");
        }
        hadCommon_ = true;
        block_ = Block::Common;
        return true;
    }

    bool Technique(const std::vector<std::string>& args) {
        if (args.size() != 1 || !IsIdentifier(args[0])) {
            return Fail("@technique needs a name");
        }
        for (const EffectTechnique& t : out_.techniques) {
            if (t.name == args[0]) {
                return Fail("duplicate technique " + args[0]);
            }
        }
        out_.techniques.push_back({args[0], {}});
        return true;
    }

    bool Pass(const std::vector<std::string>& args) {
        if (out_.techniques.empty() || args.size() > 1) {
            return Fail("@pass stands in a technique, with at most a name");
        }
        EffectPass pass;
        pass.name = args.empty() ? std::string() : args[0];
        out_.techniques.back().passes.push_back(pass);
        return true;
    }

    EffectPass* CurrentPass() {
        if (out_.techniques.empty() || out_.techniques.back().passes.empty()) {
            return nullptr;
        }
        return &out_.techniques.back().passes.back();
    }

    bool State(const std::vector<std::string>& args) {
        EffectPass* pass = CurrentPass();
        if (pass == nullptr) {
            return Fail("@state outside a pass");
        }
        for (const std::string& arg : args) {
            const size_t eq = arg.find('=');
            const std::string key = arg.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : arg.substr(eq + 1);
            if (key == "blend" && (value == "inherit" || value == "off" || value == "on")) {
                pass->blend = value == "inherit"
                                  ? PassBlend::Inherit
                                  : (value == "off" ? PassBlend::Off : PassBlend::On);
            } else if ((key == "src" || key == "dst") && BlendNames().contains(value)) {
                (key == "src" ? pass->srcBlend : pass->destBlend) = BlendNames().at(value);
            } else {
                return Fail("unknown state " + arg);
            }
        }
        return true;
    }

    bool Stage(bool vertex, const std::vector<std::string>& args) {
        EffectPass* pass = CurrentPass();
        if (pass == nullptr || !args.empty()) {
            return Fail("a stage stands in a pass, without arguments");
        }
        bool& seen = vertex ? pass->hasVertex : pass->hasFragment;
        if (seen) {
            return Fail(vertex ? "a second @vertex" : "a second @fragment");
        }
        seen = true;
        block_ = vertex ? Block::Vertex : Block::Fragment;
        return true;
    }

    EffectSource& out_;
    int number_ = 0;
    bool started_ = false;
    bool ended_ = false;
    bool hadCommon_ = false;
    Block block_ = Block::None;
};

} // namespace

bool ParseEffectSource(const char* text, size_t size, EffectSource& out, std::string& error) {
    EffectSource source;
    Parser parser(source);
    const std::string all(text, size);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) {
            end = all.size();
        }
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!parser.Line(line)) {
            error = parser.error;
            return false;
        }
        start = end + 1;
    }
    if (!parser.Finish()) {
        error = parser.error;
        return false;
    }
    out = std::move(source);
    return true;
}

} // namespace Gfx
