#pragma once

#include <memory>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
struct xml_node_struct;
} // namespace pugi

// The reader of definition XML ("korvantine.xml" and every element handed from it to the
// objects that load themselves). It only reads, logs nothing and reports every failure as an
// `exception`; what it read last (or where the text is not well formed) is told to the error
// reports (XmlPlace), so a failure is logged with its place:
//  - text that is not well-formed XML, a missing root or child element, and an item index
//    outside a selection: exception(1, ""), whose text is "HRESULT: 1\n";
//  - a missing required attribute: "Configuration error: \n  Attribute '<name>' not found at
//    <element name>";
//  - an operation on an empty handle (default-constructed): exception "No document",
//    "No element" or "No selection".
//
// Text comes back as the 8-bit bytes of the file in the data's code page: the document is
// read as raw bytes whatever its XML declaration says, so bytes 0x80 to 0xFF are neither
// dropped nor transcoded. Entity and character references are decoded to one byte each: a
// character up to U+00FF becomes that byte, a character of the Windows-1252 code page above
// it becomes its byte there (U+20AC becomes 0x80), any other character becomes '?'. Element
// text keeps its whitespace, line breaks and CDATA sections exactly (line ends are the XML
// standard's: CR LF and a lone CR read as LF), since element text is Lua code.
//
// Handles share ownership of their document, so an element or selection stays valid after
// the `Document` it came from is gone.
class XmlDom {
public:
    class Document {
    public:
        Document() = default;

    private:
        friend class XmlDom;
        std::shared_ptr<const pugi::xml_document> doc_;
    };

    class Element {
    public:
        Element() = default;

    private:
        friend class XmlDom;
        Element(std::shared_ptr<const pugi::xml_document> doc, pugi::xml_node_struct* node)
            : doc_(std::move(doc)), node_(node) {}

        std::shared_ptr<const pugi::xml_document> doc_;
        pugi::xml_node_struct* node_ = nullptr;
    };

    // The child elements of one name, in document order.
    class Selection {
    public:
        Selection() = default;

        int Length() const { return static_cast<int>(nodes_.size()); }

    private:
        friend class XmlDom;
        std::shared_ptr<const pugi::xml_document> doc_;
        std::vector<pugi::xml_node_struct*> nodes_;
    };

    XmlDom() = delete;

    // Parses a whole document. The text ends at its first zero byte, if it has one.
    static Document LoadString(const std::string& text);

    // The document element, which must be named "korvantine".
    static Element Root(const Document& document);

    // The first child element named `name`.
    static Element Child(const Element& node, const std::string& name);

    // Every child element named `path` (a plain element name); none is an empty selection.
    static Selection SelectNodes(const Element& node, const std::string& path);

    // Element `index` (from 0) of a selection.
    static Element Item(const Selection& selection, int index);

    // The value of an attribute that must be present (it may be empty).
    static std::string RequiredAttr(const Element& element, const std::string& name);

    // The value of an attribute, or `defaultValue` when it is absent.
    static std::string Attr(const Element& element, const std::string& name,
                            const std::string& defaultValue);

    // The text content: every text and CDATA section inside the element, at any depth, in
    // document order.
    static std::string Text(const Element& node);

private:
    // The node of a handle; an empty handle throws exception().
    static pugi::xml_node_struct* NodeOf(const Element& element);
};
