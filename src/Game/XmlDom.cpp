#include "Game/XmlDom.h"

#include "Game/Exception.h"
#include "Game/XmlPlace.h"
#include "Game/XmlText.h"

#include <algorithm>
#include <cstring>
#include <pugixml.hpp>

namespace {

// The result codes of the DOM reader this replaces: not well-formed text or no matching
// node, and memory exhausted.
constexpr int kFalse = 1;
constexpr int kOutOfMemory = static_cast<int>(0x8007000E);

// Raw 8-bit text with its line ends normalised and every text section kept, whitespace
// included; references are left for XmlText::Decode so that each becomes one byte. Parsed as
// a fragment so that text outside the document element stays visible to the checks below.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_wconv_attribute |
                                   pugi::parse_eol | pugi::parse_ws_pcdata | pugi::parse_fragment;

// Not well-formed text, or no node where one is needed: "HRESULT: 1\n".
[[noreturn]] void ThrowFalseResult() {
    throw exception(kFalse, "");
}

// The node after `node` in document order among the descendants of `top`; empty at the end.
pugi::xml_node NextInside(pugi::xml_node node, pugi::xml_node top) {
    if (node.first_child()) {
        return node.first_child();
    }
    for (; node && node != top; node = node.parent()) {
        if (node.next_sibling()) {
            return node.next_sibling();
        }
    }
    return pugi::xml_node();
}

// The first child element of `parent` named `name`; empty when there is none.
pugi::xml_node FindChild(pugi::xml_node parent, const std::string& name) {
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element && child.name() == name) {
            return child;
        }
    }
    return pugi::xml_node();
}

pugi::xml_attribute FindAttr(pugi::xml_node element, const std::string& name) {
    for (pugi::xml_attribute attr : element.attributes()) {
        if (attr.name() == name) {
            return attr;
        }
    }
    return pugi::xml_attribute();
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A document has exactly one element at the top, and nothing but whitespace beside it.
void CheckTop(const pugi::xml_document& doc, const std::string& text) {
    pugi::xml_node first;
    for (pugi::xml_node node : doc.children()) {
        if (node.type() == pugi::node_element) {
            if (first) {
                XmlPlace::Malformed(text, node.offset_debug(), "a second document element");
                ThrowFalseResult();
            }
            first = node;
        } else if (node.type() != pugi::node_pcdata ||
                   !std::all_of(node.value(), node.value() + std::strlen(node.value()),
                                IsXmlSpace)) {
            XmlPlace::Malformed(text, node.offset_debug(), "text outside the document element");
            ThrowFalseResult();
        }
    }
    if (!first) {
        XmlPlace::Malformed(text, std::ptrdiff_t(text.size()), "no document element");
        ThrowFalseResult();
    }
}

void StoreDecoded(bool stored) {
    if (!stored) {
        throw exception(kOutOfMemory, "");
    }
}

// Checks and decodes the attributes of one element in place.
void DecodeAttributes(pugi::xml_node element, const std::string& text) {
    for (pugi::xml_attribute attr : element.attributes()) {
        for (pugi::xml_attribute other = attr.next_attribute(); other;
             other = other.next_attribute()) {
            if (std::strcmp(attr.name(), other.name()) == 0) {
                XmlPlace::Malformed(text, element.offset_debug(),
                                    "attribute '" + std::string(attr.name()) + "' given twice");
                ThrowFalseResult();
            }
        }
        const auto value = XmlText::Decode(attr.value(), XmlText::Kind::Attribute);
        if (!value) {
            XmlPlace::Malformed(text, element.offset_debug(),
                                "a '<' or a bad reference in attribute '" +
                                    std::string(attr.name()) + "'");
            ThrowFalseResult();
        }
        StoreDecoded(attr.set_value(value->c_str(), value->size()));
    }
}

// Checks the parsed document and decodes every attribute value and text section in place;
// CDATA sections stay as they are.
void DecodeDocument(pugi::xml_document& doc, const std::string& text) {
    CheckTop(doc, text);
    for (pugi::xml_node node = doc.first_child(); node; node = NextInside(node, doc)) {
        if (node.type() == pugi::node_element) {
            DecodeAttributes(node, text);
        } else if (node.type() == pugi::node_pcdata) {
            const auto decoded = XmlText::Decode(node.value(), XmlText::Kind::ElementText);
            if (!decoded) {
                XmlPlace::Malformed(text, node.offset_debug(),
                                    "a bad reference or \"]]>\" in text");
                ThrowFalseResult();
            }
            StoreDecoded(node.set_value(decoded->c_str(), decoded->size()));
        }
    }
}

} // namespace

XmlDom::Document XmlDom::LoadString(const std::string& text) {
    const std::string parsed = text.substr(0, text.find('\0'));
    auto doc = std::make_shared<pugi::xml_document>();
    const pugi::xml_parse_result result =
        doc->load_buffer(parsed.data(), parsed.size(), kParseOptions, pugi::encoding_utf8);
    if (result.status == pugi::status_out_of_memory) {
        throw exception(kOutOfMemory, "");
    }
    if (!result) {
        XmlPlace::Malformed(parsed, result.offset, result.description());
        ThrowFalseResult();
    }
    DecodeDocument(*doc, parsed);
    Document document;
    document.doc_ = std::move(doc);
    return document;
}

XmlDom::Element XmlDom::Root(const Document& document) {
    if (!document.doc_) {
        throw exception("No document");
    }
    const pugi::xml_node root = FindChild(*document.doc_, "korvantine");
    if (!root) {
        XmlPlace::MissingChild(document.doc_, *document.doc_, "korvantine");
        ThrowFalseResult();
    }
    return Element(document.doc_, root.internal_object());
}

XmlDom::Element XmlDom::Child(const Element& node, const std::string& name) {
    const pugi::xml_node child = FindChild(pugi::xml_node(NodeOf(node)), name);
    if (!child) {
        XmlPlace::MissingChild(node.doc_, pugi::xml_node(node.node_), name);
        ThrowFalseResult();
    }
    return Element(node.doc_, child.internal_object());
}

XmlDom::Selection XmlDom::SelectNodes(const Element& node, const std::string& path) {
    Selection selection;
    for (pugi::xml_node child : pugi::xml_node(NodeOf(node)).children()) {
        if (child.type() == pugi::node_element && child.name() == path) {
            selection.nodes_.push_back(child.internal_object());
        }
    }
    selection.doc_ = node.doc_;
    return selection;
}

XmlDom::Element XmlDom::Item(const Selection& selection, int index) {
    if (!selection.doc_) {
        throw exception("No selection");
    }
    if (index < 0 || index >= selection.Length()) {
        ThrowFalseResult();
    }
    return Element(selection.doc_, selection.nodes_[static_cast<std::size_t>(index)]);
}

std::string XmlDom::RequiredAttr(const Element& element, const std::string& name) {
    const pugi::xml_node node(NodeOf(element));
    const pugi::xml_attribute attr = FindAttr(node, name);
    XmlPlace::Attribute(element.doc_, node, name, attr);
    if (!attr) {
        throw exception("Configuration error: \n  Attribute '" + name + "' not found at " +
                        node.name());
    }
    return attr.value();
}

std::string XmlDom::Attr(const Element& element, const std::string& name,
                         const std::string& defaultValue) {
    const pugi::xml_node node(NodeOf(element));
    const pugi::xml_attribute attr = FindAttr(node, name);
    XmlPlace::Attribute(element.doc_, node, name, attr, &defaultValue);
    return attr ? std::string(attr.value()) : defaultValue;
}

std::string XmlDom::Text(const Element& node) {
    const pugi::xml_node top(NodeOf(node));
    std::string text;
    for (pugi::xml_node n = top.first_child(); n; n = NextInside(n, top)) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            text += n.value();
        }
    }
    return text;
}

pugi::xml_node_struct* XmlDom::NodeOf(const Element& element) {
    if (!element.node_) {
        throw exception("No element");
    }
    return element.node_;
}
