#include "Game/XmlPlace.h"

#include "Game/Log.h"
#include "Game/Where.h"

#include <algorithm>

namespace XmlPlace {

std::string ElementPath(pugi::xml_node element) {
    std::string path;
    for (pugi::xml_node node = element; node && node.type() == pugi::node_element;
         node = node.parent()) {
        std::string step = node.name();
        if (const pugi::xml_attribute name = node.attribute("name")) {
            step += "[@name='" + LogValue(name.value()) + "']";
        } else {
            int position = 0;
            int count = 0;
            for (pugi::xml_node sibling : node.parent().children(node.name())) {
                ++count;
                if (sibling == node) {
                    position = count;
                }
            }
            if (count > 1) {
                step += '[';
                step += std::to_string(position);
                step += ']';
            }
        }
        path = path.empty() ? step : step + "/" + path;
    }
    return path;
}

void Attribute(const std::shared_ptr<const pugi::xml_document>& doc, pugi::xml_node element,
               const std::string& name, pugi::xml_attribute attr, const std::string* defaultValue) {
    const bool hasDefault = defaultValue != nullptr;
    Where::SetFocus([doc, element, name, attr, hasDefault,
                     fallback = hasDefault ? *defaultValue : std::string()] {
        std::string text = "attribute '" + name + "' ";
        if (attr) {
            text += "is \"" + LogValue(attr.value()) + "\"";
        } else if (hasDefault) {
            text += "is absent (default \"" + LogValue(fallback) + "\")";
        } else {
            text += "is missing";
        }
        return text + " at " + ElementPath(element);
    });
}

void MissingChild(const std::shared_ptr<const pugi::xml_document>& doc, pugi::xml_node parent,
                  const std::string& name) {
    Where::SetFocus([doc, parent, name] {
        const std::string at = ElementPath(parent);
        return "element '" + name + "' is missing" + (at.empty() ? "" : " in " + at);
    });
}

void Malformed(const std::string& text, std::ptrdiff_t offset, const std::string& what) {
    std::string position;
    if (offset >= 0) {
        const auto end = static_cast<std::size_t>(
            std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(text.size())));
        const std::size_t lineStart = end == 0 ? std::string::npos : text.rfind('\n', end - 1);
        const auto line = 1 + std::count(text.begin(), text.begin() + std::ptrdiff_t(end), '\n');
        const std::size_t column = end - (lineStart == std::string::npos ? 0 : lineStart + 1) + 1;
        position = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
    }
    Where::SetFocus([message = "not well-formed XML: " + position + what] { return message; });
}

} // namespace XmlPlace
