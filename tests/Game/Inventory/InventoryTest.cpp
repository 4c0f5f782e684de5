#include "../Switch/SwitchFixture.h"
#include "FileSystem/Locator.h"
#include "Game/Hints.h"
#include "Include/common/XmlSer.h"
#include "States/Page.h"
#include "support/TestSupport.h"

#include <wx/init.h>
#include <wx/mstream.h>

namespace {

// Items "key" and "candle"; a book "diary" of pages p1 to p3 whose events are noted in the
// Lua table `book`, a book "atlas" of page m1; screens A and B; the current state A.
class InventoryTest : public test::SwitchFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    InventoryTest() {
        Locator::Instance().Init(root_.Path().string());
        opts().nomultithread_ = opts().noload_ = true;
        game().cursor_.Load(Element(R"(<cursor tex="c"><context index="0" name=""/>)"
                                    R"(<context index="1" name="candle"/></cursor>)",
                                    "cursor"));
        std::string events;
        for (const char* event : {"enter", "page", "exit"}) {
            events += Event(event, std::string("book[#book + 1] = '") + event + "'");
        }
        inv().Load(XmlDom::Root(XmlDom::LoadString(
            R"(<korvantine><inventory tex="i" back="b"><item name="key" index="0"/>)"
            R"(<item name="candle" index="1"/></inventory><library tex="l">)"
            R"(<book name="diary" index="0"><page name="p1"/><page name="p2"/><page name="p3"/>)" +
            events +
            R"(</book><book name="atlas" index="1"><page name="m1"/></book></library></korvantine>)")));
        std::string pages;
        for (const char* page : {"p1", "p2", "p3", "m1"}) {
            pages += std::string("<page name=\"") + page + "\" src=\"p.png\"/>";
        }
        LoadPart(pages + Noted("screen", "A") + Noted("screen", "B") + Noted("loading", "L") +
                 Noted("menu", "menu"));
        game().lua_.Execute("book = {} move('A')");
        RunOut();
        NewLogLines();
    }

    static XmlDom::Element Element(const std::string& xml, const std::string& name) {
        return XmlDom::Child(
            XmlDom::Root(XmlDom::LoadString("<korvantine>" + xml + "</korvantine>")), name);
    }

    Inventory& inv() { return game().inventory_; }

    // The collected books and pages, as "book: page page;...".
    std::string Collected() {
        std::string text;
        for (const auto& book : inv().Collected()) {
            text += book.name + ":";
            for (const auto& page : book.pages) {
                text += " " + page;
            }
            text += ";";
        }
        return text;
    }

    test::TempDir root_;
};

// Items are carried in the order put; mistakes change nothing and say so; a removal moves
// the items behind it one cell to the left. A held item outlives its removal until dropped.
TEST_F(InventoryTest, PutDelHasAndHeldItems) {
    const struct {
        const char* script;
        const char* carried;
        const char* line;
    } steps[] = {
        {"inv_put('key')", "key ", "Item 'key' put to inventory"},
        {"inv_put('key')", "key ", "ERROR: Trying to add 'key' that is already in inventory"},
        {"inv_put('ghost')", "key ", "ERROR: Trying to add not existing item 'ghost'"},
        {"inv_put('candle')", "key candle ", "Item 'candle' put to inventory"},
        {"inv_del('ghost')", "key candle ",
         "ERROR: Trying to remove unexisting item 'ghost' from inventory"},
        {"inv_del('key')", "candle ", "Item 'key' removed from inventory"},
    };
    for (const auto& step : steps) {
        game().lua_.Execute(step.script);
        std::string carried;
        for (const auto& name : inv().Carried()) {
            carried += name + " ";
        }
        EXPECT_EQ(carried, step.carried) << step.script;
        EXPECT_EQ(NewLogLines(), std::vector<std::string>{step.line}) << step.script;
    }
    EXPECT_EQ(Eval("inv_has('candle')") + Eval("inv_has('key')"), "truefalse");

    game().cursor_.SetPos(0.01f, 0.99f);
    EXPECT_FALSE(inv().OnClick()) << "closed bars take no click";
    EXPECT_FALSE(inv().UpdateHover());
    inv().PickUp("candle");
    game().lua_.Execute("inv_del('candle')");
    EXPECT_TRUE(game().cursor_.ItemHeld());
    inv().OnEscape();
    RunOut();
    EXPECT_FALSE(game().cursor_.ItemHeld());
    EXPECT_EQ(map().Current(), "menu");
}

// Pages are collected once each, books in the order first collected; the page view leafs
// through the collected pages in the book's order and, past either end, returns to where
// it was opened from. Each step: the script, the state reached, the book's events.
TEST_F(InventoryTest, PageTurning) {
    game().lua_.Execute("lib_put('p3') lib_put('p1') lib_put('p3') lib_put('m1')");
    EXPECT_EQ(Collected(), "diary: p3 p1;atlas: m1;");
    const struct {
        const char* script;
        const char* current;
        const char* events;
        const char* from;
    } steps[] = {
        {"library('diary')", "p3", "enter", "A"}, // the page collected first
        {"lib_prev()", "p1", "page", "A"},
        {"lib_prev()", "A", "exit", ""},
        {"lib_page('p1')", "p1", "enter", "A"},
        {"lib_next()", "p3", "page", "A"},
        {"lib_page('p2')", "p2", "enter", "A"}, // not collected, still opens
        {"lib_next()", "p3", "page", "A"},
        {"lib_next()", "A", "exit", ""},
        {"move('B')", "B", "", ""},
        {"lib_page('p1')", "p1", "enter", "B"},
        {"game_reset()", "p1", "", ""},
        {"lib_page('m1')", "m1", "", "p1"},
        {"lib_next()", "p1", "", ""}, // an empty record made for the book, then the view left
    };
    for (const auto& step : steps) {
        game().lua_.Execute(step.script);
        RunOut();
        EXPECT_EQ(map().Current(), step.current) << step.script;
        EXPECT_EQ(Eval("table.concat(book, ' ')"), step.events) << step.script;
        EXPECT_EQ(inv().From(), step.from) << step.script;
        game().lua_.Execute("book = {}");
    }
    EXPECT_EQ(Collected(), "atlas:;");
    NewLogLines();
    game().lua_.Execute("library('diary') library('atlas') lib_put('x')");
    EXPECT_EQ(NewLogLines(), (std::vector<std::string>{"Specified book is not read yet!",
                                                       "Book has no pages read!",
                                                       "Cannot find page in PTB table"}));

    // The page's own exit closes the view; a book event's Lua error, logged with the book and
    // the event, stops the move.
    game().lua_.Execute("lib_page('p2')");
    RunOut();
    std::dynamic_pointer_cast<State::Page>(map().GetState("p2"))->Exit();
    RunOut();
    EXPECT_EQ(map().Current() + " " + Eval("table.concat(book, ' ')"), "p1 enter exit");
    game().lua_.Execute("lib_page('p2')");
    RunOut();
    NewLogLines();
    EXPECT_THROW(game().lua_.Execute("book = nil lib_next()"), lua::exception);
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{
                                 "Lua error in book 'diary', event 'exit': [string \"book[#book + "
                                 "1] = 'exit'\"]:1: attempt to get length of global 'book' (a nil "
                                 "value)"});
    EXPECT_EQ(map().Current(), "p2");
}

// Hints lines: the key before the first colon, the text after it; lines without a colon are
// skipped and later lines win. A file that is UTF-8 throughout (with or without a byte-order
// mark) is read as UTF-8 with its keys turned into the data's code page, so that "cl\xE9"
// finds its hint; any other file is Windows-1252 throughout. Keys no name of the data can
// have are left out and reported.
TEST_F(InventoryTest, HintsFiles) {
    using Hints = std::map<std::string, std::wstring>;
    const struct {
        const char* file;
        Hints hints;
        std::vector<std::string> unusable;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "cl\xC3\xA9:La cl\xC3\xA9\r\nno colon\r\nmap:north: the sea\r\n",
         {{"cl\xE9", L"La cl\u00E9"}, {"map", L"north: the sea"}},
         {}},
        {"coin:caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n\xE2\x82\xAC:euro\n\xF0\x9F\x98\x80:x",
         {{"coin", L"caf\u00E9 \u20AC \U0001F600"}, {"\x80", L"euro"}},
         {"\xF0\x9F\x98\x80"}},
        {"cl\xE9:La cl\xE9 \x80\r\n\x80:euro",
         {{"cl\xE9", L"La cl\u00E9 \u20AC"}, {"\x80", L"euro"}},
         {}},
        {"key:ok\nbad:\xC0\xAF|\xED\xA0\x80|\xE2\x82", // not UTF-8: all of it Windows-1252
         {{"key", L"ok"}, {"bad", L"\u00C0\u00AF|\u00ED\u00A0\u20AC|\u00E2\u201A"}},
         {}},
        {"\xEF\xBB\xBF"
         "cl\xE9:x",
         {{"cl\xE9", L"x"}},
         {}},
        {":empty key\nkey:A rusty key\nkey:An old key",
         {{"", L"empty key"}, {"key", L"An old key"}},
         {}},
    };
    for (const auto& c : cases) {
        Hints hints;
        std::vector<std::string> unusable;
        ::Hints::Parse(c.file, hints, unusable);
        EXPECT_EQ(hints, c.hints) << c.file;
        EXPECT_EQ(unusable, c.unusable) << c.file;
    }

    test::WriteFile(root_ / "Data" / "i.txt", "key:inventory's\ncandle:light\n");
    test::WriteFile(root_ / "Data" / "l.txt", "key:library's\n");
    inv().LoadHints(Element(R"(<inventory hints="i.txt"/>)", "inventory"));
    inv().LoadHints(Element(R"(<library hints="l.txt"/>)", "library"));
    EXPECT_EQ(inv().Hints().at("key") + inv().Hints().at("candle"), L"library'slight");
    NewLogLines();
    inv().LoadHints(Element(R"(<library hints="gone.txt"/>)", "library"));
    EXPECT_EQ(NewLogLines().back(), "WARNING: Cannot open hints file 'gone.txt'");
    test::WriteFile(root_ / "Data" / "u.txt", "\xE2\x98\x85:star\n");
    inv().LoadHints(Element(R"(<library hints="u.txt"/>)", "library"));
    EXPECT_EQ(NewLogLines().back(), "WARNING: Hints file 'u.txt': '\xE2\x98\x85' cannot be the "
                                    "name of an item or a book");
}

// The record keeps the carried items, the collected books and pages in their orders and
// the page view's origin; a record without its library is refused.
TEST_F(InventoryTest, SaveRecordRoundTrip) {
    game().lua_.Execute("inv_put('candle') inv_put('key') lib_put('m1') lib_put('p3') "
                        "lib_put('p1') lib_page('p1')");
    wxMemoryOutputStream out;
    xs::OArchive writer(out);
    writer& xs::nvp("inventory", inv());
    ASSERT_TRUE(writer.Finish());
    std::string text(out.GetLength(), '\0');
    out.CopyTo(text.data(), text.size());

    game().lua_.Execute("game_reset()");
    EXPECT_EQ(Collected() + inv().From(), "");
    for (const std::string& document :
         {text, std::string(R"(<inventory from=""><item>key</item></inventory>)")}) {
        xs::IArchive reader(document);
        if (document != text) {
            EXPECT_THROW(reader & xs::nvp("inventory", inv()), xs::exception);
            continue;
        }
        reader& xs::nvp("inventory", inv());
        EXPECT_EQ(inv().Carried(), (std::vector<std::string>{"candle", "key"}));
        EXPECT_EQ(Collected(), "atlas: m1;diary: p3 p1;");
        EXPECT_EQ(inv().From(), "A");
    }
}

} // namespace
