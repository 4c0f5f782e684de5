#pragma once

#include "Include/common/Nvp.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class wxOutputStream;
class wxXmlDocument;
class wxXmlNode;

namespace xs {

class OArchive;
class IArchive;

// An object with a record of its own, written into and read from its element.
template <typename T>
concept Record = requires(T& value, OArchive& out, IArchive& in) {
    value.SaveXml(out);
    value.LoadXml(in);
};

// Writes a save-game document. Records open their element (AddChild), write their pairs in
// declaration order with `archive & xs::nvp(...)` and close it (Close); Finish writes the
// document, an XML declaration with version "1.0" and encoding "utf-8" and the elements
// indented by two blanks per level. Misuse (an empty name, nothing open) is asserted.
class OArchive {
public:
    // Writes to the stream, which must outlive Finish.
    explicit OArchive(wxOutputStream& stream);
    // Writes to the file; an existing file is replaced only once the new one is complete.
    explicit OArchive(std::string fileName);
    ~OArchive();
    OArchive(const OArchive&) = delete;
    OArchive& operator=(const OArchive&) = delete;

    // Opens a new element `name` as the last child of the open one (the root when nothing
    // is open).
    void AddChild(const std::string& name);
    // Closes the open element.
    void Close();
    // Adds a text node to the open element.
    void WriteText(const std::string& value);
    // Adds the attribute to the open element unless it has one of that name already: the
    // first value written under a name wins.
    void WriteAttribute(const std::string& name, const std::string& text);
    // Writes the document and ends the archive. False when it could not be written.
    [[nodiscard]] bool Finish();

    OArchive& operator&(const nvp<std::string>& pair);
    OArchive& operator&(const nvp<float>& pair);
    OArchive& operator&(const nvp<bool>& pair);
    OArchive& operator&(const nvp<std::vector<std::string>>& pair);

    template <Record T>
    OArchive& operator&(const nvp<T>& pair) {
        AddChild(pair.name_);
        pair.value_->SaveXml(*this);
        Close();
        return *this;
    }

    template <typename V>
    OArchive& operator&(const map_nvp<V>& pair) {
        for (auto& [key, entry] : *pair.value_) {
            if (pair.skipTransitions_ && key.compare(0, 2, "t_") == 0) {
                continue;
            }
            AddChild(pair.name_);
            WriteAttribute(pair.key_, key);
            SaveEntry(entry);
            Close();
        }
        return *this;
    }

private:
    template <typename T>
    void SaveEntry(std::shared_ptr<T>& entry) {
        if (entry) {
            entry->SaveState(*this);
        }
    }
    template <Record T>
    void SaveEntry(T& entry) {
        entry.SaveXml(*this);
    }

    // The scalar's text unless it equals its default.
    template <typename T, typename F>
    OArchive& Scalar(const nvp<T>& pair, F format) {
        if (!pair.default_ || !(*pair.value_ == *pair.default_)) {
            WriteAttribute(pair.name_, format(*pair.value_));
        }
        return *this;
    }

    wxXmlNode* Open() const;

    std::string fileName_;
    wxOutputStream* stream_;
    std::unique_ptr<wxXmlDocument> document_;
    std::deque<wxXmlNode*> nodes_;
};

} // namespace xs
