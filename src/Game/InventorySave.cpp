// The inventory's record in a save game: the page view's "from", the carried items and the
// collected books with their pages.

#include "Game/Inventory.h"
#include "Include/common/XmlSer.h"

void Inventory::SaveXml(xs::OArchive& archive) {
    archive& xs::nvp("from", from_) & xs::nvp("item", carried_);
    archive.AddChild("library");
    SaveLibrary(archive);
    archive.Close();
}

void Inventory::LoadXml(xs::IArchive& archive) {
    archive& xs::nvp("from", from_) & xs::nvp("item", carried_);
    if (!archive.OpenChild("library")) {
        throw xs::exception();
    }
    LoadLibrary(archive);
    archive.Close();
}

void Inventory::SaveLibrary(xs::OArchive& archive) {
    for (CollectedBook& book : collected_) {
        archive.AddChild("book");
        SaveBook(archive, book);
        archive.Close();
    }
}

void Inventory::LoadLibrary(xs::IArchive& archive) {
    collected_.clear();
    if (!archive.OpenChild("book")) {
        return;
    }
    do {
        CollectedBook book;
        LoadBook(archive, book);
        collected_.push_back(std::move(book));
    } while (archive.NextSibling());
    archive.Close();
}

void Inventory::SaveBook(xs::OArchive& archive, CollectedBook& book) {
    archive& xs::nvp("name", book.name) & xs::nvp("page", book.pages);
}

void Inventory::LoadBook(xs::IArchive& archive, CollectedBook& book) {
    archive& xs::nvp("name", book.name) & xs::nvp("page", book.pages);
}
