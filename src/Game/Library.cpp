// The library of the inventory: books of page states, collected page by page and read
// through the map's page states; and the hints files of both bars.

#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/Hints.h"
#include "Game/Inventory.h"
#include "Game/Log.h"
#include "Game/Where.h"
#include "States/Base.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <vector>

void Inventory::LoadBooks(const XmlDom::Element& library) {
    const XmlDom::Selection books = XmlDom::SelectNodes(library, "book");
    for (int i = 0; i < books.Length(); ++i) {
        const XmlDom::Element element = XmlDom::Item(books, i);
        const std::string name = XmlDom::RequiredAttr(element, "name");
        Book& book = books_[name];
        book.index = boost::lexical_cast<int>(XmlDom::RequiredAttr(element, "index"));
        const XmlDom::Selection pages = XmlDom::SelectNodes(element, "page");
        for (int p = 0; p < pages.Length(); ++p) {
            const std::string page = XmlDom::RequiredAttr(XmlDom::Item(pages, p), "name");
            book.pages.push_back(page);
            PageToBook[page] = name;
        }
        const XmlDom::Selection events = XmlDom::SelectNodes(element, "event");
        for (int e = 0; e < events.Length(); ++e) {
            const XmlDom::Element event = XmlDom::Item(events, e);
            book.events[XmlDom::RequiredAttr(event, "name")] = XmlDom::Text(event);
        }
    }
}

void Inventory::LoadHints(const XmlDom::Element& element) {
    const std::string file = XmlDom::Attr(element, "hints", "");
    if (file.empty()) {
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (!Locator::Instance().ReadAll(file, bytes)) {
        LogFormat("WARNING: Cannot open hints file '%1%'", file);
        return;
    }
    std::vector<std::string> unusable;
    Hints::Parse(std::string(bytes.begin(), bytes.end()), hints_, unusable);
    for (const std::string& key : unusable) {
        LogFormat("WARNING: Hints file '%1%': '%2%' cannot be the name of an item or a book", file,
                  LogValue(key));
    }
}

std::string Inventory::BookOfPage(const std::string& page) const {
    const auto found = PageToBook.find(page);
    if (found == PageToBook.end()) {
        LogWrite("Cannot find page in PTB table");
        return "";
    }
    return found->second;
}

void Inventory::FireBookEvent(const std::string& book, const std::string& event) {
    const Book& record = books_[book];
    const auto found = record.events.find(event);
    if (found != record.events.end() && !found->second.empty()) {
        const std::string script = found->second;
        const Where::Scope place(Where::kEvent,
                                 Where::Named("book", book) + ", " + Where::Named("event", event));
        game().lua_.Execute(script);
    }
}

Inventory::CollectedBook& Inventory::CollectedRecord(const std::string& book) {
    const auto found =
        std::find_if(collected_.begin(), collected_.end(),
                     [&](const CollectedBook& record) { return record.name == book; });
    if (found != collected_.end()) {
        return *found;
    }
    collected_.push_back(CollectedBook{book, {}});
    return collected_.back();
}

void Inventory::LibPut(std::string page) {
    const std::string book = BookOfPage(page);
    if (book.empty()) {
        return;
    }
    std::vector<std::string>& pages = CollectedRecord(book).pages;
    if (std::find(pages.begin(), pages.end(), page) == pages.end()) {
        pages.push_back(page);
    }
}

void Inventory::OpenBook(std::string book) {
    const auto found =
        std::find_if(collected_.begin(), collected_.end(),
                     [&](const CollectedBook& record) { return record.name == book; });
    if (found == collected_.end()) {
        LogWrite("Specified book is not read yet!");
        return;
    }
    if (found->pages.empty()) {
        LogWrite("Book has no pages read!");
        return;
    }
    // A copy: the "enter" event may change the collected pages.
    OpenPage(std::string(found->pages.front()));
}

void Inventory::OpenPage(std::string page) {
    const std::string book = BookOfPage(page);
    if (book.empty()) {
        return;
    }
    FireBookEvent(book, "enter");
    if (from_.empty()) {
        const std::shared_ptr<State::Base> current = game().map_.CurrentState();
        from_ = current ? current->Name() : "";
    }
    game().map_.SetState(page);
}

void Inventory::NextPage() {
    TurnPage(1);
}

void Inventory::PrevPage() {
    TurnPage(-1);
}

void Inventory::TurnPage(int step) {
    const std::shared_ptr<State::Base> current = game().map_.CurrentState();
    const std::string page = current ? current->Name() : "";
    const std::string book = BookOfPage(page);
    if (book.empty()) {
        return;
    }
    const std::vector<std::string>& pages = books_[book].pages;
    const auto at = std::find(pages.begin(), pages.end(), page);
    if (at == pages.end()) {
        LogWrite("Page not found in a book");
        return;
    }
    const std::vector<std::string> collected = CollectedRecord(book).pages;
    const auto isCollected = [&](const std::string& name) {
        return std::find(collected.begin(), collected.end(), name) != collected.end();
    };
    std::string target;
    if (step > 0) {
        const auto next = std::find_if(at + 1, pages.end(), isCollected);
        target = next == pages.end() ? "" : *next;
    } else {
        const auto previous =
            std::find_if(std::make_reverse_iterator(at), pages.rend(), isCollected);
        target = previous == pages.rend() ? "" : *previous;
    }
    if (target.empty()) {
        ExitPage(page);
        return;
    }
    FireBookEvent(book, "page");
    game().map_.SetState(target);
}

void Inventory::ExitPage(std::string page) {
    const std::string book = BookOfPage(page);
    if (book.empty()) {
        return;
    }
    FireBookEvent(book, "exit");
    game().map_.SetState(from_);
    from_.clear();
}
