#include "DefinitionNames.h"

#include "support/TestSupport.h"

#include <cctype>
#include <optional>

namespace test {

namespace {

namespace fs = std::filesystem;

using Tokens = std::vector<std::string>;

bool IsIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool IsIdent(const std::string& token) {
    return !token.empty() && IsIdentStart(token[0]);
}

// The end of the quoted literal that starts at `at` (a '"' or '\''), past its closing quote.
std::size_t QuotedEnd(const std::string& text, std::size_t at) {
    const char quote = text[at];
    std::size_t i = at + 1;
    while (i < text.size() && text[i] != quote) {
        i += text[i] == '\\' ? 2 : 1;
    }
    return std::min(i + 1, text.size());
}

// The end of the raw string literal whose R is at `at`.
std::size_t RawEnd(const std::string& text, std::size_t at) {
    const std::size_t open = text.find('(', at + 2);
    if (open == std::string::npos) {
        return text.size();
    }
    const std::string close = ")" + text.substr(at + 2, open - at - 2) + "\"";
    const std::size_t end = text.find(close, open + 1);
    return end == std::string::npos ? text.size() : end + close.size();
}

// Where the bracket at `open` (one of "([{<") is closed, or npos; angle brackets only
// between their own tokens.
std::size_t Matching(const Tokens& tokens, std::size_t open) {
    const std::string& o = tokens[open];
    const std::string c = o == "(" ? ")" : o == "[" ? "]" : o == "{" ? "}" : ">";
    int depth = 0;
    for (std::size_t i = open; i < tokens.size(); ++i) {
        if (tokens[i] == o) {
            ++depth;
        } else if (tokens[i] == c && --depth == 0) {
            return i;
        } else if (o == "<" && (tokens[i] == ";" || tokens[i] == "{" || tokens[i] == "}")) {
            return std::string::npos;
        }
    }
    return std::string::npos;
}

// Where the bracket at `close` was opened, searching backwards, or npos.
std::size_t OpeningOf(const Tokens& tokens, std::size_t close) {
    int depth = 0;
    for (std::size_t i = close + 1; i-- > 0;) {
        if (tokens[i] == ")") {
            ++depth;
        } else if (tokens[i] == "(" && --depth == 0) {
            return i;
        }
    }
    return std::string::npos;
}

// The token ranges [first, last) of the comma-separated items between the brackets at `open`
// and `close`. Angle brackets count as brackets only in parameter lists.
std::vector<std::pair<std::size_t, std::size_t>> Items(const Tokens& tokens, std::size_t open,
                                                       std::size_t close, bool angles) {
    std::vector<std::pair<std::size_t, std::size_t>> items;
    int depth = 0;
    std::size_t start = open + 1;
    for (std::size_t i = open + 1; i < close; ++i) {
        const std::string& t = tokens[i];
        if (t == "(" || t == "[" || t == "{" || (angles && t == "<")) {
            ++depth;
        } else if (t == ")" || t == "]" || t == "}" || (angles && t == ">")) {
            --depth;
        } else if (t == "," && depth == 0) {
            items.emplace_back(start, i);
            start = i + 1;
        }
    }
    if (start < close) {
        items.emplace_back(start, close);
    }
    return items;
}

struct Call {
    std::string callee;
    std::vector<std::pair<std::size_t, std::size_t>> args;
};

// The call whose callee name is the identifier at `at`, if one follows it: the name, maybe
// template arguments, then an argument list.
std::optional<Call> CallAt(const Tokens& tokens, std::size_t at) {
    std::size_t open = at + 1;
    if (open < tokens.size() && tokens[open] == "<") {
        const std::size_t close = Matching(tokens, open);
        if (close == std::string::npos || close - open > 24) {
            return std::nullopt;
        }
        open = close + 1;
    }
    if (open >= tokens.size() || tokens[open] != "(") {
        return std::nullopt;
    }
    const std::size_t close = Matching(tokens, open);
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return Call{tokens[at], Items(tokens, open, close, false)};
}

struct Function {
    std::string name;
    std::vector<std::string> params;
    std::size_t bodyBegin, bodyEnd;
};

const std::set<std::string> kNotFunctions = {"if",    "for",    "while",  "switch",
                                             "catch", "return", "sizeof", "decltype"};

// Every function definition: a name, a parameter list, maybe qualifiers, then a body.
std::vector<Function> Functions(const Tokens& tokens) {
    std::vector<Function> functions;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] != "{") {
            continue;
        }
        std::size_t j = i;
        while (j > 0 && (tokens[j - 1] == "const" || tokens[j - 1] == "noexcept" ||
                         tokens[j - 1] == "override" || tokens[j - 1] == "final")) {
            --j;
        }
        if (j == 0 || tokens[j - 1] != ")") {
            continue;
        }
        const std::size_t open = OpeningOf(tokens, j - 1);
        if (open == std::string::npos || open == 0 || !IsIdent(tokens[open - 1]) ||
            kNotFunctions.count(tokens[open - 1]) != 0) {
            continue;
        }
        Function f{tokens[open - 1], {}, i, Matching(tokens, i)};
        if (f.bodyEnd == std::string::npos) {
            continue;
        }
        for (const auto& [first, last] : Items(tokens, open, j - 1, true)) {
            // The parameter's name: its last identifier before any default value.
            std::string name;
            for (std::size_t k = first; k < last && tokens[k] != "="; ++k) {
                if (IsIdent(tokens[k])) {
                    name = tokens[k];
                }
            }
            f.params.push_back(name);
        }
        functions.push_back(std::move(f));
    }
    return functions;
}

// The literal text of an argument that is one plain string literal.
std::optional<std::string> Literal(const Tokens& tokens, std::pair<std::size_t, std::size_t> arg) {
    if (arg.second != arg.first + 1) {
        return std::nullopt;
    }
    const std::string& t = tokens[arg.first];
    if (t.size() < 2 || t.front() != '"') {
        return std::nullopt;
    }
    return t.substr(1, t.size() - 2);
}

} // namespace

Tokens Tokenise(const std::string& text) {
    Tokens tokens;
    bool lineStart = true;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            lineStart = true;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            ++i;
        } else if (c == '#' && lineStart) {
            // A preprocessor line, with its continuations.
            while (i < text.size() && !(text[i] == '\n' && text[i - 1] != '\\')) {
                ++i;
            }
        } else if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            i = i == std::string::npos ? text.size() : i;
        } else if (text.compare(i, 2, "/*") == 0) {
            i = text.find("*/", i + 2);
            i = i == std::string::npos ? text.size() : i + 2;
        } else {
            lineStart = false;
            std::size_t end = i + 1;
            if (text.compare(i, 2, "R\"") == 0) {
                end = RawEnd(text, i);
            } else if (c == '"' || c == '\'') {
                end = QuotedEnd(text, i);
            } else if (IsIdentChar(c)) {
                while (end < text.size() && IsIdentChar(text[end])) {
                    ++end;
                }
            } else if (text.compare(i, 2, "::") == 0 || text.compare(i, 2, "->") == 0) {
                end = i + 2;
            }
            tokens.push_back(text.substr(i, end - i));
            i = end;
        }
    }
    return tokens;
}

DefinitionNames ScanDefinitionNames(const fs::path& sourceDir) {
    std::vector<Tokens> files;
    for (const auto& entry : fs::recursive_directory_iterator(sourceDir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) {
            continue;
        }
        const std::string text = ReadFile(entry.path());
        if (text.find("XmlDom") != std::string::npos) {
            files.push_back(Tokenise(text));
        }
    }

    DefinitionNames names;
    names.readers = {{"Child", {{'e', 1}}},
                     {"SelectNodes", {{'e', 1}}},
                     {"FindChild", {{'e', 1}}},
                     {"Attr", {{'a', 1}}},
                     {"RequiredAttr", {{'a', 1}}}};
    // A function that passes a parameter on to a reader's name position is a reader with
    // that parameter's position; repeated until no new reader is found.
    for (bool found = true; found;) {
        found = false;
        for (const Tokens& tokens : files) {
            for (const Function& f : Functions(tokens)) {
                for (std::size_t i = f.bodyBegin; i < f.bodyEnd; ++i) {
                    const auto reader = names.readers.find(tokens[i]);
                    const std::optional<Call> call =
                        reader != names.readers.end() ? CallAt(tokens, i) : std::nullopt;
                    if (!call) {
                        continue;
                    }
                    for (const auto& [kind, position] : std::set(reader->second)) {
                        if (position >= call->args.size() ||
                            call->args[position].second != call->args[position].first + 1) {
                            continue;
                        }
                        const std::string& arg = tokens[call->args[position].first];
                        for (std::size_t p = 0; p < f.params.size(); ++p) {
                            if (f.params[p] == arg &&
                                names.readers[f.name].insert({kind, p}).second) {
                                found = true;
                            }
                        }
                    }
                }
            }
        }
    }

    for (const Tokens& tokens : files) {
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const auto reader = names.readers.find(tokens[i]);
            const std::optional<Call> call =
                reader != names.readers.end() ? CallAt(tokens, i) : std::nullopt;
            if (!call) {
                continue;
            }
            for (const auto& [kind, position] : reader->second) {
                if (position < call->args.size()) {
                    if (const auto name = Literal(tokens, call->args[position])) {
                        (kind == 'e' ? names.elements : names.attributes).insert(*name);
                    }
                }
            }
        }
    }
    return names;
}

} // namespace test
