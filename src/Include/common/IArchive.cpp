#include "Include/common/IArchive.h"

#include "Game/Check.h"
#include "Include/common/Text.h"

#include <wx/xml/xml.h>

namespace xs {
namespace {

constexpr const char* kWhere = ".\\common\\xmlser";

// The first element named `name` from node on, node included.
wxXmlNode* FindElement(wxXmlNode* node, const wxString& name) {
    for (; node != nullptr; node = node->GetNext()) {
        if (node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name) {
            return node;
        }
    }
    return nullptr;
}

void AssertName(const std::string& name) {
    Assert(!name.empty(), kWhere, "!name.empty ()", "Empty name");
}

} // namespace

IArchive::IArchive(wxInputStream& stream) : document_(std::make_unique<wxXmlDocument>()) {
    // Text nodes are kept as written, blanks included; a failed parse leaves no root.
    document_->Load(stream, "UTF-8", wxXMLDOC_KEEP_WHITESPACE_NODES);
}

IArchive::~IArchive() = default;

wxXmlNode* IArchive::Open() const {
    Assert(!nodes_.empty(), kWhere, "!nodes_.empty ()", "No element is open");
    return nodes_.back();
}

bool IArchive::OpenChild(const std::string& name) {
    AssertName(name);
    const wxString key = text::ToDocument(name);
    wxXmlNode* const root = document_->GetRoot();
    wxXmlNode* found = nullptr;
    if (nodes_.empty()) {
        found = root != nullptr && root->GetName() == key ? root : nullptr;
    } else {
        found = FindElement(nodes_.back()->GetChildren(), key);
    }
    if (found == nullptr) {
        return false;
    }
    nodes_.push_back(found);
    return true;
}

bool IArchive::NextSibling() {
    wxXmlNode* const node = Open();
    AssertName(text::FromDocument(node->GetName()));
    wxXmlNode* const next = FindElement(node->GetNext(), node->GetName());
    if (next == nullptr) {
        return false;
    }
    nodes_.back() = next;
    return true;
}

void IArchive::Close() {
    Open();
    nodes_.pop_back();
}

std::string IArchive::ReadText() const {
    return text::FromDocument(Open()->GetNodeContent());
}

std::optional<std::string> IArchive::Attribute(const std::string& name) const {
    AssertName(name);
    wxString value;
    if (!Open()->GetAttribute(text::ToDocument(name), &value)) {
        return std::nullopt;
    }
    return text::FromDocument(value);
}

IArchive& IArchive::operator&(const nvp<std::string>& pair) {
    return Scalar(pair, [](const std::string& text) { return text; });
}

IArchive& IArchive::operator&(const nvp<float>& pair) {
    return Scalar(pair, text::ParseFloat);
}

IArchive& IArchive::operator&(const nvp<bool>& pair) {
    return Scalar(pair, text::ParseBool);
}

IArchive& IArchive::operator&(const nvp<std::vector<std::string>>& pair) {
    pair.value_->clear();
    if (OpenChild(pair.name_)) {
        do {
            pair.value_->push_back(ReadText());
        } while (NextSibling());
        Close();
    }
    return *this;
}

} // namespace xs
