#include "../Switch/SwitchFixture.h"
#include "FileSystem/Locator.h"
#include "Game/Hints.h"
#include "Include/common/XmlSer.h"
#include "States/Page.h"
#include "support/TestSupport.h"

#include <wx/init.h>
#include <wx/mstream.h>

namespace {

// Items "key" and "candle", a book "diary" of pages p1 to p3 whose events are noted in
// `seen`, a book "atlas" of one page; screens A and B and the pages in one part.
class InventoryTest : public test::SwitchFixture {
protected:
    static void SetUpTestSuite() { wxInitialize(); }
    static void TearDownTestSuite() { wxUninitialize(); }

    InventoryTest() {
        Locator::Instance().Init(root_.Path().string());
        opts().nomultithread_ = true;
        opts().noload_ = true;
        game().cursor_.Load(Root(R"(<cursor tex="c.png"><context index="0" name=""/>)"
                                 R"(<context index="1" name="do"/><context index="2" name="key"/>)"
                                 R"(</cursor>)")
                                .second);
        Define("");
        LoadPart(Noted("screen", "A") + Noted("screen", "B") + Noted("page", "p1") +
                 Noted("page", "p2") + Noted("page", "p3") + Noted("page", "m1") +
                 Noted("loading", "L") + Noted("menu", "menu"));
        map().SetState("A");
        RunOut();
        Seen();
        NewLogLines();
    }

    static std::pair<XmlDom::Document, XmlDom::Element> Root(const std::string& content) {
        XmlDom::Document document = XmlDom::LoadString("<korvantine>" + content + "</korvantine>");
        const XmlDom::Element root = XmlDom::Root(document);
        return {document, XmlDom::Child(root, content.substr(1, content.find_first_of(" >") - 1))};
    }

    // Loads the inventory's definition; `hints` adds the attributes of the hints files.
    void Define(const std::string& hints) {
        const auto note = [](const char* event) {
            return Event(event, std::string("seen[#seen + 1] = 'diary:") + event + "'");
        };
        const std::string xml =
            R"(<korvantine><inventory tex="i.png" back="b.png" )" + hints +
            R"(><item name="key" index="0"/><item name="candle" index="1"/></inventory>)"
            R"(<library tex="l.png"><book name="diary" index="0"><page name="p1"/>)"
            R"(<page name="p2"/><page name="p3"/>)" +
            note("enter") + note("page") + note("exit") +
            R"(</book><book name="atlas" index="1"><page name="m1"/></book></library></korvantine>)";
        game().inventory_.Load(XmlDom::Root(XmlDom::LoadString(xml)));
    }

    Inventory& inv() { return game().inventory_; }

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
// the items behind it one cell to the left.
TEST_F(InventoryTest, PutDelHas) {
    const struct {
        const char* script;
        const char* carried;
        const char* line;
    } steps[] = {
        {"inv_put('key')", "key", "Item 'key' put to inventory"},
        {"inv_put('key')", "key", "ERROR: Trying to add 'key' that is already in inventory"},
        {"inv_put('ghost')", "key", "ERROR: Trying to add not existing item 'ghost'"},
        {"inv_put('candle')", "key candle", "Item 'candle' put to inventory"},
        {"inv_del('ghost')", "key candle",
         "ERROR: Trying to remove unexisting item 'ghost' from inventory"},
        {"inv_del('key')", "candle", "Item 'key' removed from inventory"},
    };
    for (const auto& step : steps) {
        game().lua_.Execute(step.script);
        std::string carried;
        for (const auto& name : inv().Carried()) {
            carried += (carried.empty() ? "" : " ") + name;
        }
        EXPECT_EQ(carried, step.carried) << step.script;
        EXPECT_EQ(NewLogLines(), std::vector<std::string>{step.line}) << step.script;
    }
    EXPECT_EQ(Eval("inv_has('candle')"), "true");
    EXPECT_EQ(Eval("inv_has('key')"), "false");
}

// An item taken on the cursor stays there when a script removes it from the bar, until it
// is dropped; closed bars take no click and are under no pointer.
TEST_F(InventoryTest, HeldItemOutlivesItsRemoval) {
    game().lua_.Execute("inv_put('key')");
    game().cursor_.SetPos(0.01f, 0.99f);
    EXPECT_FALSE(inv().OnClick());
    EXPECT_FALSE(inv().UpdateHover());
    inv().PickUp("key");
    game().lua_.Execute("inv_del('key')");
    EXPECT_EQ(game().cursor_.GetContext(), "key");
    EXPECT_TRUE(game().cursor_.ItemHeld());
    inv().Drop();
    EXPECT_EQ(game().cursor_.GetContext(), "");
    EXPECT_FALSE(game().cursor_.ItemHeld());
    // Escape drops and opens the menu.
    inv().PickUp("candle");
    inv().OnEscape();
    RunOut();
    EXPECT_FALSE(game().cursor_.ItemHeld());
    EXPECT_EQ(map().Current(), "menu");
}

// Pages are collected once each, books in the order first collected; the page view leafs
// through the collected pages of the book in its order and returns where it was opened from.
TEST_F(InventoryTest, PageTurning) {
    game().lua_.Execute("lib_put('p3') lib_put('p1') lib_put('p3') lib_put('m1') lib_put('x')");
    EXPECT_EQ(Collected(), "diary: p3 p1;atlas: m1;");
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{"Cannot find page in PTB table"});

    const auto step = [&](const char* script, const char* current, const char* events) {
        game().lua_.Execute(script);
        RunOut();
        EXPECT_EQ(map().Current(), current) << script;
        std::string seen = Seen();
        std::string diary;
        for (std::size_t at = seen.find("diary:"); at != std::string::npos;
             at = seen.find("diary:", at + 1)) {
            diary += (diary.empty() ? "" : " ") + seen.substr(at, seen.find(' ', at) - at);
        }
        EXPECT_EQ(diary, events) << script;
    };
    step("library('diary')", "p3", "diary:enter"); // the page collected first
    EXPECT_EQ(inv().From(), "A");
    step("lib_prev()", "p1", "diary:page");
    step("lib_prev()", "A", "diary:exit");
    EXPECT_EQ(inv().From(), "");
    step("lib_page('p1')", "p1", "diary:enter");
    step("lib_next()", "p3", "diary:page");
    step("lib_page('p2')", "p2", "diary:enter"); // not collected, still opens
    EXPECT_EQ(inv().From(), "A");
    step("lib_next()", "p3", "diary:page");
    step("lib_next()", "A", "diary:exit");

    // The page's own exit closes the view.
    step("move('B')", "B", "");
    step("lib_page('p1')", "p1", "diary:enter");
    std::dynamic_pointer_cast<State::Page>(map().GetState("p1"))->Exit();
    RunOut();
    EXPECT_EQ(map().Current(), "B");
    EXPECT_EQ(inv().From(), "");
    EXPECT_NE(Seen().find("diary:exit"), std::string::npos);

    NewLogLines();
    game().lua_.Execute("library('nothing')");
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{"Specified book is not read yet!"});
    step("game_reset()", "B", "");
    EXPECT_EQ(Collected(), "");
    step("lib_page('m1')", "m1", "");
    EXPECT_EQ(inv().From(), "B");
    // The turn finds no collected record, makes an empty one and leaves the view.
    step("lib_next()", "B", "");
    EXPECT_EQ(Collected(), "atlas:;");
    NewLogLines();
    game().lua_.Execute("library('atlas')");
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{"Book has no pages read!"});
    // A Lua error of a book event stops the move.
    step("move('p2')", "p2", "");
    EXPECT_THROW(game().lua_.Execute("seen = nil lib_next()"), lua::exception);
    EXPECT_EQ(map().Current(), "p2");
}

// Hints lines: the key before the first colon, the text after it in UTF-8 with each bad
// byte shown as U+FFFD; lines without a colon are skipped and later lines win.
TEST_F(InventoryTest, HintsFiles) {
    std::map<std::string, std::wstring> hints;
    Hints::Parse("\xEF\xBB\xBFkey:A rusty key\r\n"
                 "no colon here\n"
                 "map:north: the sea\n"
                 "coin:caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n"
                 "bad:\xFF|\xC0\xAF|\xED\xA0\x80|\xE2\x82\n"
                 ":empty key\n"
                 "key:An old key",
                 hints);
    const std::map<std::string, std::wstring> expected = {
        {"key", L"An old key"},
        {"map", L"north: the sea"},
        {"coin", L"caf\u00E9 \u20AC \U0001F600"},
        {"bad", L"\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD"},
        {"", L"empty key"},
    };
    EXPECT_EQ(hints, expected);

    test::WriteFile(root_ / "Data" / "i.txt", "key:inventory's\ncandle:light\n");
    test::WriteFile(root_ / "Data" / "l.txt", "key:library's\n");
    Define(R"(hints="i.txt")");
    EXPECT_EQ(inv().Hints().at("key"), L"inventory's");
    const auto load = [&](const std::string& xml) {
        const auto element = Root(xml);
        inv().LoadHints(element.second);
    };
    load(R"(<library hints="l.txt"/>)");
    EXPECT_EQ(inv().Hints().at("key"), L"library's");
    EXPECT_EQ(inv().Hints().at("candle"), L"light");
    NewLogLines();
    load(R"(<library hints="gone.txt"/>)");
    EXPECT_EQ(NewLogLines().back(), "WARNING: Cannot open hints file 'gone.txt'");
}

// The record keeps the carried items, the collected books and pages in their orders and
// the page view's origin; a record without its library is refused.
TEST_F(InventoryTest, SaveRecordRoundTrip) {
    game().lua_.Execute("inv_put('candle') inv_put('key') lib_put('m1') lib_put('p3') "
                        "lib_put('p1') lib_page('p1')");
    RunOut();
    wxMemoryOutputStream out;
    xs::OArchive writer(out);
    writer& xs::nvp("inventory", inv());
    ASSERT_TRUE(writer.Finish());
    std::string text(out.GetLength(), '\0');
    out.CopyTo(text.data(), text.size());
    EXPECT_NE(text.find(R"(<inventory from="A">)"), std::string::npos) << text;

    game().lua_.Execute("game_reset()");
    EXPECT_EQ(Collected(), "");
    wxMemoryInputStream in(text.data(), text.size());
    xs::IArchive reader(in);
    reader& xs::nvp("inventory", inv());
    EXPECT_EQ(inv().Carried(), (std::vector<std::string>{"candle", "key"}));
    EXPECT_EQ(Collected(), "atlas: m1;diary: p3 p1;");
    EXPECT_EQ(inv().From(), "A");

    const std::string bad = R"(<inventory from=""><item>key</item></inventory>)";
    wxMemoryInputStream badIn(bad.data(), bad.size());
    xs::IArchive badReader(badIn);
    EXPECT_THROW(badReader & xs::nvp("inventory", inv()), xs::exception);
}

} // namespace
