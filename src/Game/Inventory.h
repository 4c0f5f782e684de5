#pragma once

#include "Game/MissingPicture.h"
#include "Game/XmlDom.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace xs {
class IArchive;
class OArchive;
} // namespace xs

// The item bar and the library bar. Both slide into the 1024x768 frame together, the item
// bar from the bottom edge with the items the player carries, the library bar from the top
// edge with the books of which the player has collected pages. Each bar is one row of 50x50
// pixel cells counted from the left edge; the item bar's right end (past 974 pixels) is the
// menu corner. Pointing at an entry for a while shows its hint; clicking an item takes it on
// the cursor, clicking a book opens its pages, clicking the menu corner opens the game menu.
// The library's books and pages are read page by page through the page states of the map.
// User-interface thread only.
class Inventory {
public:
    struct Item {
        int index = 0;    // column of the 48x48 icon in the item atlas
        std::string sfx;  // played when the item is taken on the cursor; may be empty
        std::string drop; // played when it is dropped; may be empty
    };

    struct Book {
        std::vector<std::string> pages;            // page state names in definition order
        std::map<std::string, std::string> events; // event name to Lua text
        int index = 0;                             // column of the icon in the book atlas
    };

    struct CollectedBook {
        std::string name;
        std::vector<std::string> pages; // in the order collected, each once
    };

    // A bar entry: what lies under the cursor.
    enum Kind { kNothing = 0, kMenu = 1, kItem = 2, kBook = 3 };
    using Entry = std::pair<int, std::string>;

    enum BarState { kClosed = 0, kOpening = 1, kOpen = 2, kClosing = 3 };

    static constexpr float kFrameWidth = 1024.0f;
    static constexpr float kFrameHeight = 768.0f;
    static constexpr float kCell = 50.0f;
    static constexpr int kIcon = 48;
    static constexpr float kMenuCorner = 0.951171875f; // 974 of 1024 pixels
    static constexpr float kSlideMs = 250.0f;

    Inventory() = default;
    Inventory(const Inventory&) = delete;
    Inventory& operator=(const Inventory&) = delete;

    // Reads the root's required `inventory` (atlas "tex", background "back", the `item`
    // children) and `library` (atlas "tex", the `book` children) elements, then the hints
    // files of both. A missing element or attribute, or an index that is not a whole
    // number, throws.
    void Load(const XmlDom::Element& root);

    // The bar entry under the cursor, from the bars' present openness.
    Entry HitTest() const;
    // Once per frame from the scenes that show the bars: follows the entry under the
    // cursor and its hint delay. True when the cursor is over an entry.
    bool UpdateHover();
    // A primary press: true when the bars took it (menu corner, item or book).
    bool OnClick();
    // Escape: drops any held item and opens the game menu.
    void OnEscape();
    // Opens or closes the bars; a toggle mid-way reverses from the present openness.
    void Toggle();
    // Takes a carried item on the cursor (its pick-up sound first).
    void PickUp(const std::string& name);
    // Releases the item held on the cursor (its drop sound first); it stays carried.
    void Drop();
    // The frame's toppings: advances the slide to `now` (Game::Time) and draws the bars,
    // and the hint once they are open.
    void Render(float now);
    void DrawHint();

    // Lua "inv_put", "inv_del", "inv_has". Mistakes are log lines.
    void Put(const std::string& name);
    void Del(const std::string& name);
    bool Has(const std::string& name);
    bool IsDefined(const std::string& name) const;
    void ShowHint() { showHint_ = true; }
    void HideHint() { showHint_ = false; }
    // A new game: no carried items, no collected books, no open page view. The bars, the
    // hover and the cursor stay as they are.
    void Reset();

    // The library (Library.cpp).

    void LoadBooks(const XmlDom::Element& library);
    // Reads the optional "hints" file of the element: lines "key:text", UTF-8 or
    // Windows-1252 (Hints::Parse).
    void LoadHints(const XmlDom::Element& element);
    // Lua "lib_put": collects a page, and its book when new.
    void LibPut(std::string page);
    // Lua "library": opens a collected book at its first collected page.
    void OpenBook(std::string book);
    // Lua "lib_page": opens a page state by name (collected or not).
    void OpenPage(std::string page);
    // Lua "lib_next", "lib_prev": the next or previous collected page of the current page's
    // book; past either end the page view closes.
    void NextPage();
    void PrevPage();
    // Leaves the page view from `page`, back to the state it was opened from.
    void ExitPage(std::string page);
    // The book of a page; "" (logged) for a page of no book.
    std::string BookOfPage(const std::string& page) const;
    // Runs the event text of the book of that name, if any; a Lua error is logged with the
    // book and the event and propagates as lua::exception.
    void FireBookEvent(const std::string& book, const std::string& event);

    // The "inventory" record of a save game: "from", the carried items, the "library".
    void SaveXml(xs::OArchive& archive);
    void LoadXml(xs::IArchive& archive);
    void SaveLibrary(xs::OArchive& archive);
    void LoadLibrary(xs::IArchive& archive);
    static void SaveBook(xs::OArchive& archive, CollectedBook& book);
    static void LoadBook(xs::IArchive& archive, CollectedBook& book);

    // Read access for the scenes and tests.
    float Openness() const { return openness_; }
    int GetBarState() const { return barState_; }
    bool HintShown() const { return showHint_; }
    const std::vector<std::string>& Carried() const { return carried_; }
    const std::vector<CollectedBook>& Collected() const { return collected_; }
    const std::string& From() const { return from_; }
    const std::map<std::string, std::wstring>& Hints() const { return hints_; }

private:
    // The cell of the cursor's column.
    static int CursorCell();
    // Steps through the book of the current page towards its end (+1) or start (-1).
    void TurnPage(int step);
    CollectedBook& CollectedRecord(const std::string& book);
    void DrawBars(float v);

    float lastTime_ = 0.0f;
    float openness_ = 0.0f;
    int barState_ = kClosed;
    int hoverKind_ = kNothing;
    std::string hoverName_;
    float hoverStart_ = 0.0f;
    bool showHint_ = false;
    std::string texInv_;
    std::string texBack_;
    std::string texLib_;
    // The pictures of the bars, drawn in every frame they show: a failed one is asked for once.
    MissingPicture itemsMissing_;
    MissingPicture backMissing_;
    MissingPicture booksMissing_;
    std::string from_;
    std::map<std::string, Item> items_;
    std::vector<std::string> carried_;
    std::map<std::string, Book> books_;
    std::vector<CollectedBook> collected_;
    std::map<std::string, std::string> PageToBook;
    std::map<std::string, std::wstring> hints_;
};
