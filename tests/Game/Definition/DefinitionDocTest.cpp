// The authors' guide to the definition file against the engine: every element and attribute
// the engine reads is described in docs/definition.md, the guide names no element the engine
// does not read, and the example games of the guide load and reach their first scene.

#include "DefinitionFixture.h"
#include "DefinitionNames.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = KV_SOURCE_DIR;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Every text between `open` and the next `close` after it.
std::vector<std::string> Between(const std::string& text, const std::string& open,
                                 const std::string& close) {
    std::vector<std::string> found;
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
        const std::size_t end = text.find(close, at + open.size());
        if (end == std::string::npos) {
            break;
        }
        found.push_back(text.substr(at + open.size(), end - at - open.size()));
        at = end + close.size();
    }
    return found;
}

// The text without everything from each `open` to the next `close`.
std::string Without(std::string text, const std::string& open, const std::string& close) {
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
        const std::size_t end = text.find(close, at);
        text.erase(at, end == std::string::npos ? std::string::npos : end + close.size() - at);
    }
    return text;
}

bool IsName(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    }) && std::isdigit(static_cast<unsigned char>(text[0])) == 0;
}

// The leading name of a text ("zone x=..." gives "zone").
std::string LeadingName(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[end])) != 0 || text[end] == '_')) {
        ++end;
    }
    return text.substr(0, end);
}

std::string Joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += " " + name;
    }
    return text;
}

class DefinitionDocTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        names_ = test::ScanDefinitionNames(kSource / "src");
        guide_ = test::ReadFile(kSource / "docs/definition.md");
    }

    // The names of a kind that the scan found, as read: elements in headings as `<name>`,
    // attributes as the first cell of a table row, `name`.
    static std::set<std::string> Documented(bool elements) {
        std::set<std::string> found;
        for (const std::string& line : Lines(guide_)) {
            if (elements && line.rfind("#", 0) == 0) {
                for (const std::string& name : Between(line, "`<", ">`")) {
                    if (IsName(name)) {
                        found.insert(name);
                    }
                }
            } else if (!elements && line.rfind("| `", 0) == 0) {
                const std::string name = line.substr(3, line.find("` |") - 3);
                if (line.find("` |") != std::string::npos && IsName(name)) {
                    found.insert(name);
                }
            }
        }
        return found;
    }

    static std::string Readers() {
        std::string text;
        for (const auto& [name, uses] : names_.readers) {
            for (const auto& [kind, position] : uses) {
                text += " " + name + "(" + kind + std::to_string(position) + ")";
            }
        }
        return text;
    }

    static inline test::DefinitionNames names_;
    static inline std::string guide_;
};

// Every element the engine reads has a section whose heading names it; every heading names
// only elements the engine reads.
TEST_F(DefinitionDocTest, EveryElementTheEngineReadsHasASection) {
    const std::set<std::string> documented = Documented(true);
    std::set<std::string> missing, stale;
    for (const std::string& name : names_.elements) {
        if (documented.count(name) == 0) {
            missing.insert(name);
        }
    }
    for (const std::string& name : documented) {
        if (names_.elements.count(name) == 0) {
            stale.insert(name);
        }
    }
    EXPECT_TRUE(missing.empty()) << "elements without a heading in docs/definition.md:"
                                 << Joined(missing);
    EXPECT_TRUE(stale.empty()) << "headings of elements the engine does not read:" << Joined(stale)
                               << "\nreaders found:" << Readers();
}

// Every attribute the engine reads is a row of an attribute table.
TEST_F(DefinitionDocTest, EveryAttributeTheEngineReadsIsInATable) {
    const std::set<std::string> documented = Documented(false);
    std::set<std::string> missing;
    for (const std::string& name : names_.attributes) {
        if (documented.count(name) == 0) {
            missing.insert(name);
        }
    }
    EXPECT_TRUE(missing.empty()) << "attributes without a table row in docs/definition.md:"
                                 << Joined(missing);
}

// The scan understands the engine's way of reading: every element and attribute of the
// demo's definition, which uses them all, is among the names found. A new way of reading
// the definition that the scan misses fails here rather than passing unseen.
TEST_F(DefinitionDocTest, TheScanFindsEveryNameTheDemoUses) {
    const std::string demo = Without(
        Without(test::ReadFile(kSource / "data/pack/korvantine.xml"), "<!--", "-->"), "<?", "?>");
    std::set<std::string> missing;
    for (const std::string& tag : Between(demo, "<", ">")) {
        const std::string element = LeadingName(tag);
        if (element.empty()) {
            continue; // a closing tag
        }
        if (names_.elements.count(element) == 0) {
            missing.insert("<" + element + ">");
        }
        // The attributes: each name before '="'.
        for (std::size_t eq = tag.find("=\""); eq != std::string::npos;
             eq = tag.find("=\"", tag.find('"', eq + 2) + 1)) {
            std::size_t start = eq;
            while (start > 0 && tag[start - 1] != ' ' && tag[start - 1] != '\n') {
                --start;
            }
            const std::string name = tag.substr(start, eq - start);
            if (names_.attributes.count(name) == 0) {
                missing.insert(name);
            }
        }
    }
    EXPECT_TRUE(missing.empty()) << "names of the demo the scan does not find:" << Joined(missing)
                                 << "\nreaders found:" << Readers();
}

// The example games of the guide: the complete definition of each page loads and, once its
// first part has loaded, shows its start state.
class GuideExampleTest : public test::DefinitionFixture {
protected:
    // The page's one example of a whole definition.
    static std::string Example(const char* page) {
        std::vector<std::string> examples;
        for (const std::string& block :
             Between(test::ReadFile(kSource / page), "```xml\n", "```")) {
            if (block.find("<korvantine>") != std::string::npos) {
                examples.push_back(block);
            }
        }
        EXPECT_EQ(examples.size(), 1u) << page;
        return examples.empty() ? std::string() : examples.front();
    }

    void LoadsAndReachesItsStartState(const char* page) {
        const std::string example = Example(page);
        test::WriteFile(dir_ / "Data/korvantine.xml", example);
        UseTree(dir_.Path().string());
        CCustomMessageLoop loop;
        opts().nomultithread_ = true;
        opts().noload_ = true;
        ASSERT_NO_THROW(game().Load());
        const std::vector<std::string> autoload = Between(example, "autoload=\"", "\"");
        ASSERT_EQ(autoload.size(), 1u);
        const Map::Part* part = game().map_.GetPart(autoload.front());
        ASSERT_NE(part, nullptr);
        for (int frame = 0; frame < 60 && game().map_.Current() != part->start_; ++frame) {
            Frame(50);
        }
        EXPECT_EQ(game().map_.Current(), part->start_);
    }

    test::TempDir dir_;
};

TEST_F(GuideExampleTest, TheDefinitionPagesExampleLoads) {
    LoadsAndReachesItsStartState("docs/definition.md");
}

TEST_F(GuideExampleTest, TheNewGamePagesExampleLoads) {
    LoadsAndReachesItsStartState("docs/new-game.md");
}

} // namespace
