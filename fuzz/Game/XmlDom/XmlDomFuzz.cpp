// Definition XML from arbitrary bytes: loading and reading either succeed or throw the
// engine's `exception`, logged with its place (the parser's line and column, or the element's
// path); nothing else may escape, crash or leak.
#include "Game/Exception.h"
#include "Game/Where.h"
#include "Game/XmlDom.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        Where::Reading([&] {
            const XmlDom::Element root = XmlDom::Root(XmlDom::LoadString(text));
            XmlDom::Text(root);
            XmlDom::Attr(root, "name", "");
            const XmlDom::Selection parts = XmlDom::SelectNodes(root, "part");
            for (int i = 0; i < parts.Length(); ++i) {
                XmlDom::Attr(XmlDom::Item(parts, i), "name", "");
                XmlDom::Text(XmlDom::Item(parts, i));
            }
            XmlDom::RequiredAttr(XmlDom::Child(root, "map"), "autoload");
        });
    } catch (const exception&) {
    }
    return 0;
}
