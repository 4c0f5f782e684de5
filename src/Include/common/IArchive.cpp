#include "Include/common/IArchive.h"

#include "Game/Check.h"
#include "Include/common/Text.h"

#include <algorithm>
#include <climits>
#include <expat.h>

namespace xs {

// One element as the archive reads it: names and values as the document's UTF-8, the child
// elements in document order, and the element's text, its first run of character data or
// CDATA section that no child, comment or processing instruction interrupts (blanks
// included).
struct IArchive::Node {
    enum class Text { None, Open, Closed };

    std::string name_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<std::unique_ptr<Node>> children_;
    std::string text_;
    Text textState_ = Text::None;
    Node* parent_ = nullptr;
    std::size_t index_ = 0; // among the parent's children

    // Something other than character data comes next among the children: the text, when
    // it has begun, is complete.
    void EndText() {
        if (textState_ == Text::Open) {
            textState_ = Text::Closed;
        }
    }
};

// Builds the tree of a document with expat, the whole text handed over in one piece (a
// token is scanned once, whatever its length), counting depth and elements as it goes.
class IArchive::Parser {
public:
    explicit Parser(IArchive& archive) : archive_(archive), parser_(XML_ParserCreate(nullptr)) {}
    ~Parser() { XML_ParserFree(parser_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    void Parse(std::string_view text) {
        if (parser_ == nullptr) {
            archive_.error_ = "out of memory";
            return;
        }
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, Start, End);
        XML_SetCharacterDataHandler(parser_, Characters);
        XML_SetCdataSectionHandler(parser_, StartCdata, EndCdata);
        XML_SetCommentHandler(parser_, Comment);
        XML_SetProcessingInstructionHandler(parser_, Instruction);
        XML_SetStartDoctypeDeclHandler(parser_, Doctype);
        bool ok = true;
        do { // in pieces only beyond what one call can take
            const std::size_t size = std::min<std::size_t>(text.size(), INT_MAX / 2);
            ok = XML_Parse(parser_, text.data(), static_cast<int>(size),
                           size == text.size() ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
            text.remove_prefix(size);
        } while (ok && !text.empty());
        if (!ok) {
            if (archive_.error_.empty()) {
                archive_.error_ = "the XML does not read: " +
                                  std::string(XML_ErrorString(XML_GetErrorCode(parser_))) +
                                  " at line " + std::to_string(XML_GetCurrentLineNumber(parser_));
            }
            archive_.root_.reset();
        }
    }

private:
    // Stops the parse; the handlers that expat still calls do nothing.
    void Refuse(std::string reason) {
        archive_.error_ = std::move(reason);
        stopped_ = true;
        XML_StopParser(parser_, XML_FALSE);
    }

    // The parser of the handler's data, or null once it stopped.
    static Parser* Running(void* data) {
        auto* self = static_cast<Parser*>(data);
        return self->stopped_ ? nullptr : self;
    }
    // The open element of a running parser, or null.
    static Node* Current(void* data) {
        Parser* const self = Running(data);
        return self != nullptr ? self->current_ : nullptr;
    }

    static void Start(void* data, const XML_Char* name, const XML_Char** attributes) {
        if (Running(data) == nullptr) {
            return;
        }
        auto& self = *static_cast<Parser*>(data);
        if (++self.depth_ > kMaxDepth) {
            self.Refuse("the XML nests more than " + std::to_string(kMaxDepth) + " elements");
            return;
        }
        if (++self.elements_ > kMaxElements) {
            self.Refuse("the XML holds more than " + std::to_string(kMaxElements) + " elements");
            return;
        }
        auto node = std::make_unique<Node>();
        node->name_ = name;
        for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
            node->attributes_.emplace_back(a[0], a[1]);
        }
        Node* const parent = self.current_;
        node->parent_ = parent;
        self.current_ = node.get();
        if (parent == nullptr) {
            self.archive_.root_ = std::move(node);
        } else {
            parent->EndText();
            self.current_->index_ = parent->children_.size();
            parent->children_.push_back(std::move(node));
        }
    }

    static void End(void* data, const XML_Char*) {
        if (Parser* const self = Running(data)) {
            --self->depth_;
            self->current_ = self->current_->parent_;
        }
    }

    static void Characters(void* data, const XML_Char* text, int length) {
        Node* const node = Current(data);
        if (node != nullptr && node->textState_ != Node::Text::Closed) {
            node->textState_ = Node::Text::Open;
            node->text_.append(text, static_cast<std::size_t>(length));
        }
    }

    // A CDATA section is a text of its own: it ends a text before it and, when it is the
    // first, is the text, empty or not.
    static void StartCdata(void* data) {
        if (Node* const node = Current(data)) {
            node->EndText();
            if (node->textState_ == Node::Text::None) {
                node->textState_ = Node::Text::Open;
            }
        }
    }

    static void EndCdata(void* data) { Other(data); }
    static void Comment(void* data, const XML_Char*) { Other(data); }
    static void Instruction(void* data, const XML_Char*, const XML_Char*) { Other(data); }

    static void Other(void* data) {
        if (Node* const node = Current(data)) {
            node->EndText();
        }
    }

    // No save has one; its entities could make a short text very long.
    static void Doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        if (Parser* const self = Running(data)) {
            self->Refuse("the XML declares a document type");
        }
    }

    IArchive& archive_;
    XML_Parser parser_;
    Node* current_ = nullptr;
    int depth_ = 0;
    std::size_t elements_ = 0;
    bool stopped_ = false;
};

namespace {

constexpr const char* kWhere = ".\\common\\xmlser";

void AssertName(const std::string& name) {
    Assert(!name.empty(), kWhere, "!name.empty ()", "Empty name");
}

} // namespace

IArchive::IArchive(std::string_view text) {
    Parser(*this).Parse(text);
}

IArchive::~IArchive() = default;

const IArchive::Node* IArchive::Open() const {
    Assert(!nodes_.empty(), kWhere, "!nodes_.empty ()", "No element is open");
    return nodes_.back();
}

bool IArchive::OpenChild(const std::string& name) {
    AssertName(name);
    const std::string key = text::ToUtf8(name);
    const Node* found = nullptr;
    if (nodes_.empty()) {
        found = root_ != nullptr && root_->name_ == key ? root_.get() : nullptr;
    } else {
        const auto& children = nodes_.back()->children_;
        const auto it = std::find_if(children.begin(), children.end(),
                                     [&](const auto& child) { return child->name_ == key; });
        found = it != children.end() ? it->get() : nullptr;
    }
    if (found == nullptr) {
        return false;
    }
    nodes_.push_back(found);
    return true;
}

bool IArchive::NextSibling() {
    const Node* const node = Open();
    AssertName(node->name_);
    if (node->parent_ == nullptr) {
        return false;
    }
    const auto& siblings = node->parent_->children_;
    const auto it = std::find_if(
        siblings.begin() + static_cast<std::ptrdiff_t>(node->index_ + 1), siblings.end(),
        [&](const auto& sibling) { return sibling->name_ == node->name_; });
    if (it == siblings.end()) {
        return false;
    }
    nodes_.back() = it->get();
    return true;
}

void IArchive::Close() {
    Open();
    nodes_.pop_back();
}

std::string IArchive::ReadText() const {
    return text::FromUtf8(Open()->text_);
}

std::optional<std::string> IArchive::Attribute(const std::string& name) const {
    AssertName(name);
    const std::string key = text::ToUtf8(name);
    for (const auto& [attribute, value] : Open()->attributes_) {
        if (attribute == key) {
            return text::FromUtf8(value);
        }
    }
    return std::nullopt;
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
