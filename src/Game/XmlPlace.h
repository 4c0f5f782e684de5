#pragma once

#include <cstddef>
#include <memory>
#include <pugixml.hpp>
#include <string>

// What the definition reader (XmlDom) is looking at, told to the error reports (Where) as
// their focus and described only when an error is reported. The document is kept alive by
// the focus for as long as it may be described.
namespace XmlPlace {

// Where an element stands in its document, as a path from the document element: each step is
// the element's name, with [@name='...'] when it has a "name" attribute, or else with its
// position among its siblings of that name ([2]) when it has any.
std::string ElementPath(pugi::xml_node element);

// An attribute read from an element: present (its value), absent with a default, or missing
// (defaultValue null).
void Attribute(const std::shared_ptr<const pugi::xml_document>& doc, pugi::xml_node element,
               const std::string& name, pugi::xml_attribute attr,
               const std::string* defaultValue = nullptr);

// A child element looked for and not found.
void MissingChild(const std::shared_ptr<const pugi::xml_document>& doc, pugi::xml_node parent,
                  const std::string& name);

// Text that is not well formed: what is wrong at a byte offset of the text (none when the
// offset is negative), described with its line and column.
void Malformed(const std::string& text, std::ptrdiff_t offset, const std::string& what);

} // namespace XmlPlace
