#include "Include/common/XmlSer.h"

#include "Include/common/Text.h"
#include "support/TestSupport.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

namespace {

// A map entry held by a shared pointer, as states and controls are.
struct Entry {
    virtual ~Entry() = default;
    virtual void SaveState(xs::OArchive& archive) { archive& xs::nvp("on", on); }
    virtual void LoadState(xs::IArchive& archive) { archive& xs::nvp("on", on); }
    bool on = false;
};

struct Inner {
    std::string from;
    std::vector<std::string> items;
    template <typename A>
    void Serialize(A& archive) {
        archive& xs::nvp("from", from) & xs::nvp("item", items);
    }
    void SaveXml(xs::OArchive& archive) { Serialize(archive); }
    void LoadXml(xs::IArchive& archive) { Serialize(archive); }
};

struct Game {
    Inner inner;
    std::string vars;
    float time = 0.0f;
    bool control = false;
    float scale = 1.0f;
    std::map<std::string, std::shared_ptr<Entry>> states;

    template <typename A>
    void Serialize(A& archive) {
        archive& xs::nvp("inventory", inner) & xs::nvp("vars", vars) & xs::nvp("time", time) &
            xs::nvp("control", control) & xs::nvp("scale", scale, 1.0f) &
            xs::map_nvp("state", states, "name");
    }
};

// The document of the game; `first` is written before the game's own values.
std::string Write(Game& game, const char* first = nullptr) {
    wxMemoryOutputStream stream;
    xs::OArchive archive(stream);
    archive.AddChild("game");
    if (first != nullptr) {
        archive.WriteAttribute("vars", first);
    }
    game.Serialize(archive);
    archive.Close();
    EXPECT_TRUE(archive.Finish());
    std::string text(stream.GetLength(), '\0');
    stream.CopyTo(text.data(), text.size());
    return text;
}

void Read(const std::string& text, Game& game) {
    xs::IArchive archive(text);
    if (!archive.OpenChild("game")) {
        throw xs::exception();
    }
    game.Serialize(archive);
    archive.Close();
}

Game Sample() {
    Game game;
    game.inner = {"page", {"key", "", "  ", "caf\xe9 \x80\x81\x9d"}};
    game.vars = "vars = { a = \"x\\ny\" }";
    game.time = 1500.0f;
    game.control = true;
    game.scale = 1.0f / 3.0f;
    for (const char* name : {"yard", "t_yard_hall", "hall", "Tower", "tower"}) {
        game.states[name] = std::make_shared<Entry>();
    }
    game.states["hall"]->on = true;
    return game;
}

class XmlSer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }
};

TEST_F(XmlSer, WritesTheDocumentLayout) {
    Game game = Sample();
    game.inner.items = {"key"};
    game.states["yard"] = nullptr; // an entry without an object still gets its key
    // The first value under a name wins.
    EXPECT_EQ(Write(game, "first"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<game vars=\"first\" time=\"1500\" control=\"yes\" scale=\"0.333333343\">\n"
              "  <inventory from=\"page\">\n"
              "    <item>key</item>\n"
              "  </inventory>\n"
              "  <state name=\"Tower\" on=\"no\"/>\n"
              "  <state name=\"hall\" on=\"yes\"/>\n"
              "  <state name=\"tower\" on=\"no\"/>\n"
              "  <state name=\"yard\"/>\n"
              "</game>\n");

    game.scale = 1.0f; // equal to its default: not written
    game.inner.items.clear();
    const std::string text = Write(game);
    EXPECT_EQ(text.find("scale"), std::string::npos);
    EXPECT_EQ(text.find("<item"), std::string::npos);
}

TEST_F(XmlSer, ReadsBackWhatItWrote) {
    Game saved = Sample();
    // Every byte, the controls XML cannot hold and the code page's unassigned ones included.
    for (int c = 0; c < 256; ++c) {
        saved.vars.push_back(static_cast<char>(c));
    }
    saved.inner.items.push_back(saved.vars);
    Game loaded;
    for (const char* name : {"yard", "hall", "Tower", "t_yard_hall"}) {
        loaded.states[name] = std::make_shared<Entry>();
    }
    loaded.states["t_yard_hall"]->on = true; // never written, so kept
    Read(Write(saved), loaded);

    EXPECT_EQ(loaded.inner.from, saved.inner.from);
    EXPECT_EQ(loaded.inner.items, saved.inner.items);
    EXPECT_EQ(loaded.vars, saved.vars);
    EXPECT_EQ(loaded.time, 1500.0f);
    EXPECT_TRUE(loaded.control);
    EXPECT_EQ(loaded.scale, 1.0f / 3.0f);
    EXPECT_TRUE(loaded.states["hall"]->on);
    EXPECT_FALSE(loaded.states["yard"]->on);
    EXPECT_TRUE(loaded.states["t_yard_hall"]->on);
}

// Every float reads back as itself (older documents' 7 digits still read).
TEST_F(XmlSer, FloatsReadBackExactly) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {12345679.0f, "12345679"},
        {1500.0f, "1500"},
        {0.1f, "0.100000001"},
        {-0.3f, "-0.300000012"},
        {3.40282347e38f, "3.40282347e+38"},
        {1.17549435e-38f, "1.17549435e-38"},
        {1e-45f, "1.40129846e-45"},
        {16777215.0f, "16777215"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xs::text::FormatFloat(c.value), c.text);
        EXPECT_EQ(xs::text::ParseFloat(c.text), c.value) << c.text;
    }
    EXPECT_EQ(xs::text::ParseFloat("1.234568e+07"), 12345680.0f);
}

TEST_F(XmlSer, ReadsItemsByNameInAnyOrder) {
    Game game;
    game.scale = 5.0f;
    game.states["hall"] = std::make_shared<Entry>();
    Read("<?xml version=\"1.0\"?><game control=\"1\" time=\"-2.5e2\" vars=\"v\" extra=\"x\">"
         "<state name=\"gone\" on=\"yes\"/><other/><state on=\"\" name=\"hall\"/>"
         "<inventory "
         "from=\"first\"><item>b\xc3\xa9</item><junk/><item>\xe2\x82\xac\xe4\xb8\x80</item>"
         "</inventory><inventory from=\"second\"/></game>",
         game);
    EXPECT_EQ(game.vars, "v");
    EXPECT_EQ(game.time, -250.0f);
    EXPECT_TRUE(game.control);
    EXPECT_EQ(game.scale, 1.0f); // missing: its default
    EXPECT_EQ(game.inner.from, "first");
    EXPECT_EQ(game.states.size(), 1u);    // an unknown key adds nothing
    EXPECT_TRUE(game.states["hall"]->on); // any text but "no" is true
    EXPECT_EQ(game.inner.items, (std::vector<std::string>{"b\xe9", "\x80?"}));
}

TEST_F(XmlSer, RefusesDamagedDocuments) {
    const std::string inventory = "<inventory from=\"\"/>";
    const std::string scalars = "vars=\"\" time=\"1\" control=\"no\"";
    const std::string good = "<game " + scalars + ">" + inventory + "</game>";
    const std::string cases[] = {
        "",
        good.substr(0, good.size() - 3), // truncated
        "<save " + scalars + ">" + inventory + "</save>",
        "<game " + scalars + "/>",                                          // no compound
        "<game vars=\"\" time=\"1\">" + inventory + "</game>",              // no attribute
        "<game " + scalars + ">" + inventory + "<state on=\"no\"/></game>", // no key
    };
    for (const std::string& c : cases) {
        Game game;
        EXPECT_THROW(Read(c, game), xs::exception) << c;
    }
    for (const char* time : {"", "1.5x", "1e39", "nan", "-inf", " 1"}) {
        Game game;
        const std::string text = "<game vars=\"\" time=\"" + std::string(time) +
                                 "\" control=\"no\">" + inventory + "</game>";
        EXPECT_THROW(Read(text, game), boost::bad_lexical_cast) << time;
    }
    Game game;
    EXPECT_NO_THROW(Read(good, game));
}

// An element's text is its first run of characters or CDATA section, blanks and line ends
// included, as the documents were always read; a document that does not parse says why.
TEST_F(XmlSer, ReadsTheFirstTextOfAnElement) {
    const struct {
        const char* inner;
        const char* text;
    } cases[] = {
        {" a &amp; b ", " a & b "},
        {"a<!--c-->b", "a"},
        {"a<?p?>b", "a"},
        {"<x/>b<x/>c", "b"},
        {"<![CDATA[<c>]]>d", "<c>"},
        {"a<![CDATA[c]]>", "a"},
        {"<![CDATA[]]>d", ""},
        {"\n  <x/>k", "\n  "},
        {"a&#10;b\r\nc", "a\nb\nc"},
        {"caf\xc3\xa9 \xe2\x82\xac\xe4\xb8\x80", "caf\xe9 \x80?"},
    };
    for (const auto& c : cases) {
        xs::IArchive archive("<game><item>" + std::string(c.inner) + "</item></game>");
        ASSERT_TRUE(archive.OpenChild("game") && archive.OpenChild("item")) << c.inner;
        EXPECT_EQ(archive.ReadText(), c.text) << c.inner;
    }
    xs::IArchive broken("<game>\n<item></game>");
    EXPECT_FALSE(broken.OpenChild("game"));
    EXPECT_EQ(broken.Error(), "the XML does not read: mismatched tag at line 2");
}

TEST_F(XmlSer, WritesAFileOnlyWhenComplete) {
    test::TempDir dir;
    const std::string path = (dir / "save.xml").string();
    test::WriteFile(path, "previous");
    {
        xs::OArchive archive(path);
        archive.AddChild("game");
        archive.WriteAttribute("a", "1");
        EXPECT_EQ(test::ReadFile(path), "previous"); // nothing replaced before Finish
        ASSERT_TRUE(archive.Finish());
    }
    EXPECT_EQ(test::ReadFile(path),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<game a=\"1\"/>\n");

    xs::OArchive nowhere((dir / "missing" / "save.xml").string());
    nowhere.AddChild("game");
    EXPECT_FALSE(nowhere.Finish());
}

} // namespace
