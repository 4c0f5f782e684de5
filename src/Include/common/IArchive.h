#pragma once

#include "Include/common/Exception.h"
#include "Include/common/OArchive.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xs {

// Reads a save-game document. Records look every item up by name, so the order of
// attributes and elements in the document does not matter, and items no record names are
// ignored. A missing required item throws xs::exception; a number that does not convert
// throws boost::bad_lexical_cast. Misuse (an empty name, nothing open) is asserted.
class IArchive {
public:
    // No record the engine writes nests more than a few elements, nor holds more than a few
    // thousand: deeper or larger documents are refused while they are read, before their
    // tree is built.
    static constexpr int kMaxDepth = 64;
    static constexpr std::size_t kMaxElements = 1'000'000;

    // Parses the whole text at once (in time linear in its length), as UTF-8 unless its
    // declaration names another encoding the parser knows. A document that does not parse,
    // is nested deeper than kMaxDepth, holds more than kMaxElements elements or declares a
    // document type has no root: the first OpenChild answers false and Error says why.
    explicit IArchive(std::string_view text);
    ~IArchive();
    IArchive(const IArchive&) = delete;
    IArchive& operator=(const IArchive&) = delete;

    // Opens the first child element `name` of the open element (with nothing open: the root
    // element, when it has that name). False, and nothing opened, when there is none.
    bool OpenChild(const std::string& name);
    // Moves the open element on to its next sibling of the same name. False, and the open
    // element kept, when there is none.
    bool NextSibling();
    // Closes the open element.
    void Close();
    // The text content of the open element.
    std::string ReadText() const;
    // The attribute of the open element, or none.
    std::optional<std::string> Attribute(const std::string& name) const;
    // Why the text gave no document ("" when it did).
    const std::string& Error() const { return error_; }

    IArchive& operator&(const nvp<std::string>& pair);
    IArchive& operator&(const nvp<float>& pair);
    IArchive& operator&(const nvp<bool>& pair);
    IArchive& operator&(const nvp<std::vector<std::string>>& pair);

    template <Record T>
    IArchive& operator&(const nvp<T>& pair) {
        if (!OpenChild(pair.name_)) {
            throw exception();
        }
        pair.value_->LoadXml(*this);
        Close();
        return *this;
    }

    // Each element of the pair's name selects the entry of its key; keys the map does not
    // hold are skipped and add nothing.
    template <typename V>
    IArchive& operator&(const map_nvp<V>& pair) {
        if (!OpenChild(pair.name_)) {
            return *this;
        }
        do {
            const std::optional<std::string> key = Attribute(pair.key_);
            if (!key) {
                throw exception();
            }
            const auto found = pair.value_->find(*key);
            if (found != pair.value_->end()) {
                LoadEntry(found->second);
            }
        } while (NextSibling());
        Close();
        return *this;
    }

private:
    template <typename T>
    void LoadEntry(std::shared_ptr<T>& entry) {
        if (entry) {
            entry->LoadState(*this);
        }
    }
    template <Record T>
    void LoadEntry(T& entry) {
        entry.LoadXml(*this);
    }

    // The attribute's text, the pair's default when it is missing, or xs::exception.
    template <typename T, typename F>
    IArchive& Scalar(const nvp<T>& pair, F parse) {
        const std::optional<std::string> text = Attribute(pair.name_);
        if (text) {
            *pair.value_ = parse(*text);
        } else if (pair.default_) {
            *pair.value_ = *pair.default_;
        } else {
            throw exception();
        }
        return *this;
    }

    struct Node;
    class Parser;

    const Node* Open() const;

    std::unique_ptr<Node> root_; // none when the text gave no document
    std::string error_;
    std::deque<const Node*> nodes_;
};

} // namespace xs
