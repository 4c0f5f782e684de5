#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace test {

// The element and attribute names the engine reads from the definition, found in its own
// sources rather than listed by hand, so that a name added to the code is found too.
//
// The readers are the definition reader's child and attribute lookups (XmlDom::Child,
// SelectNodes, Attr, RequiredAttr, and the lookup of the document element); every function
// that hands one of its parameters on to a reader in that reader's name position becomes a
// reader too (IntAttr, Flag, the state and control factories that take the element name),
// found over as many steps of calls as there are. The names are the string literals passed
// in a reader's name position anywhere in the sources.
struct DefinitionNames {
    std::set<std::string> elements;
    std::set<std::string> attributes;
    // The readers found, each with the kind ('e' element, 'a' attribute) and the position
    // of its name argument: what the scan understood, for the failure messages.
    std::map<std::string, std::set<std::pair<char, std::size_t>>> readers;
};

// Scans every C++ source and header under `sourceDir` that uses the definition reader.
DefinitionNames ScanDefinitionNames(const std::filesystem::path& sourceDir);

// The C++ tokens of a source text, without comments and preprocessor lines: identifiers,
// string literals (with their quotes, raw strings as R"(...)"), character literals, numbers
// and punctuation ("::" as one token).
std::vector<std::string> Tokenise(const std::string& text);

} // namespace test
