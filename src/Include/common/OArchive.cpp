#include "Include/common/OArchive.h"

#include "FileSystem/AtomicFile.h"
#include "Game/Check.h"
#include "Include/common/Text.h"

#include <wx/mstream.h>
#include <wx/xml/xml.h>

namespace xs {
namespace {

constexpr const char* kWhere = ".\\common\\xmlser";
constexpr int kIndent = 2;

std::unique_ptr<wxXmlDocument> NewDocument() {
    auto document = std::make_unique<wxXmlDocument>();
    document->SetVersion("1.0");
    document->SetFileEncoding("utf-8");
    return document;
}

} // namespace

OArchive::OArchive(wxOutputStream& stream) : stream_(&stream), document_(NewDocument()) {}

OArchive::OArchive(std::string fileName)
    : fileName_(std::move(fileName)), stream_(nullptr), document_(NewDocument()) {}

OArchive::~OArchive() = default;

wxXmlNode* OArchive::Open() const {
    Assert(!nodes_.empty(), kWhere, "!nodes_.empty ()", "No element is open");
    return nodes_.back();
}

void OArchive::AddChild(const std::string& name) {
    Assert(!name.empty(), kWhere, "!name.empty ()", "Empty element name");
    Assert(document_ != nullptr, kWhere, "document_", "The archive is finished");
    Assert(!nodes_.empty() || document_->GetRoot() == nullptr, kWhere,
           "!nodes_.empty () || !document_->GetRoot ()", "The document has a root already");
    auto* node = new wxXmlNode(wxXML_ELEMENT_NODE, text::ToDocument(name));
    if (nodes_.empty()) {
        document_->SetRoot(node);
    } else {
        nodes_.back()->AddChild(node);
    }
    nodes_.push_back(node);
}

void OArchive::Close() {
    Open();
    nodes_.pop_back();
}

void OArchive::WriteText(const std::string& value) {
    Open()->AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxEmptyString, text::ToDocument(value)));
}

void OArchive::WriteAttribute(const std::string& name, const std::string& text) {
    Assert(!name.empty(), kWhere, "!name.empty ()", "Empty attribute name");
    wxXmlNode* node = Open();
    const wxString key = text::ToDocument(name);
    if (!node->HasAttribute(key)) {
        node->AddAttribute(key, text::ToDocument(text));
    }
}

bool OArchive::Finish() {
    Assert(document_ != nullptr, kWhere, "document_", "The archive is finished");
    nodes_.clear();
    const std::unique_ptr<wxXmlDocument> document = std::move(document_);
    if (stream_ != nullptr) {
        return document->Save(*stream_, kIndent) && stream_->IsOk();
    }
    wxMemoryOutputStream memory;
    if (!document->Save(memory, kIndent)) {
        return false;
    }
    std::string bytes(memory.GetLength(), '\0');
    if (memory.CopyTo(bytes.data(), bytes.size()) != bytes.size()) {
        return false;
    }
    return AtomicFile::WriteWhole(fileName_, bytes);
}

OArchive& OArchive::operator&(const nvp<std::string>& pair) {
    return Scalar(pair, [](const std::string& value) { return value; });
}

OArchive& OArchive::operator&(const nvp<float>& pair) {
    return Scalar(pair, text::FormatFloat);
}

OArchive& OArchive::operator&(const nvp<bool>& pair) {
    return Scalar(pair, text::FormatBool);
}

OArchive& OArchive::operator&(const nvp<std::vector<std::string>>& pair) {
    for (const std::string& entry : *pair.value_) {
        AddChild(pair.name_);
        WriteText(entry);
        Close();
    }
    return *this;
}

} // namespace xs
