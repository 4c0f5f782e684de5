#include "Game/XmlDom.h"

#include "Game/Exception.h"
#include "support/ThrownText.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using Element = XmlDom::Element;

Element RootOf(const std::string& text) {
    return XmlDom::Root(XmlDom::LoadString(text));
}

using test::ThrownText;

const char* const kMalformed = "HRESULT: 1\n";

TEST(XmlDom, AttributesAndDefaults) {
    const Element e = RootOf(R"(<korvantine full="v" empty=""/>)");
    EXPECT_EQ(XmlDom::RequiredAttr(e, "full"), "v");
    EXPECT_EQ(XmlDom::Attr(e, "empty", "d"), "");
    EXPECT_EQ(XmlDom::Attr(e, "absent", " d ef "), " d ef ");
    EXPECT_EQ(XmlDom::Attr(e, "Full", ""), "") << "names are case-sensitive";
    // Literal line breaks and tabs in a value read as blanks.
    EXPECT_EQ(XmlDom::RequiredAttr(RootOf("<korvantine a='1\r\n2\t3' b=' x '/>"), "a"), "1 2 3");
}

TEST(XmlDom, MalformedTextIsResultOne) {
    const char* const documents[] = {"",
                                     "not xml",
                                     "<korvantine>",
                                     "<korvantine><a></korvantine>",
                                     "<korvantine x=1/>",
                                     "<korvantine/><korvantine/>",
                                     "text<korvantine/>",
                                     "<korvantine/>text",
                                     "<korvantine x='1' x='2'/>",
                                     "<korvantine x='a<b'/>",
                                     "<korvantine x='&bad;'/>",
                                     "<korvantine><a>x</b></korvantine>"};
    for (const char* text : documents) {
        EXPECT_EQ(ThrownText([&] { XmlDom::LoadString(text); }), kMalformed) << text;
    }
    const char* const bodies[] = {"a & b",          "&nbsp;", "&amp",     "&#;",
                                  "&#0;",           "&#1;",   "&#xD800;", "&#x110000;",
                                  "&#99999999999;", "&#X41;", "&#x4G;",   "a ]]> b"};
    for (const char* body : bodies) {
        EXPECT_EQ(ThrownText([&] {
                      XmlDom::LoadString(std::string("<korvantine>") + body + "</korvantine>");
                  }),
                  kMalformed)
            << body;
    }
}

TEST(XmlDom, ErrorTexts) {
    const XmlDom::Document doc =
        XmlDom::LoadString("<korvantine><cursor/><part name='a'/></korvantine>");
    const Element root = XmlDom::Root(doc);
    const XmlDom::Selection parts = XmlDom::SelectNodes(root, "part");
    const struct {
        const char* name;
        std::function<void()> action;
        std::string expected;
    } cases[] = {
        {"missing child", [&] { XmlDom::Child(root, "map"); }, kMalformed},
        {"child is not a grandchild", [&] { XmlDom::Child(root, "name"); }, kMalformed},
        {"root of another name", [] { RootOf("<game/>"); }, kMalformed},
        {"item past the end", [&] { XmlDom::Item(parts, 1); }, kMalformed},
        {"negative item", [&] { XmlDom::Item(parts, -1); }, kMalformed},
        {"missing required attribute",
         [&] { XmlDom::RequiredAttr(XmlDom::Child(root, "cursor"), "tex"); },
         "Configuration error: \n  Attribute 'tex' not found at cursor"},
        {"empty document", [] { XmlDom::Root(XmlDom::Document()); }, "No document"},
        {"empty element", [] { XmlDom::Text(Element()); }, "No element"},
        {"empty element attribute", [] { XmlDom::Attr(Element(), "a", ""); }, "No element"},
        {"empty selection", [] { XmlDom::Item(XmlDom::Selection(), 0); }, "No selection"},
        {"present", [&] { XmlDom::Item(parts, 0); }, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ThrownText(c.action), c.expected) << c.name;
    }
}

TEST(XmlDom, SelectNodesKeepsDocumentOrderOfDirectChildren) {
    const Element root = RootOf("<korvantine>"
                                "<part name='1'/><state name='x'/><part name='2'>"
                                "<part name='nested'/></part><part name='3'/>"
                                "</korvantine>");
    const XmlDom::Selection parts = XmlDom::SelectNodes(root, "part");
    ASSERT_EQ(parts.Length(), 3);
    for (int i = 0; i < parts.Length(); ++i) {
        EXPECT_EQ(XmlDom::RequiredAttr(XmlDom::Item(parts, i), "name"), std::to_string(i + 1));
    }
    EXPECT_EQ(XmlDom::SelectNodes(root, "pano").Length(), 0);
    EXPECT_EQ(XmlDom::RequiredAttr(XmlDom::Child(root, "part"), "name"), "1");
}

TEST(XmlDom, HighBytesComeBackUnchangedWhateverTheDeclaration) {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    const char* const declarations[] = {
        "",
        "<?xml version=\"1.0\"?>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n",
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n",
    };
    for (const char* declaration : declarations) {
        const Element root =
            RootOf(std::string(declaration) + "<korvantine a=\"" + bytes + "\"><\xE9t\xE9 b='" +
                   bytes + "'>" + bytes + "</\xE9t\xE9></korvantine>");
        EXPECT_EQ(XmlDom::RequiredAttr(root, "a"), bytes) << declaration;
        const Element child = XmlDom::Child(root, "\xE9t\xE9");
        EXPECT_EQ(XmlDom::RequiredAttr(child, "b"), bytes) << declaration;
        EXPECT_EQ(XmlDom::Text(child), bytes) << declaration;
    }
}

// References decode to one byte of the code page, in attributes as in text; element text is
// kept exactly otherwise (line ends normalised, sections and comments dropped).
TEST(XmlDom, ReferencesDecodeAndTextIsKeptExactly) {
    const struct {
        const char* raw;
        std::string expected;
        bool inAttribute;
    } cases[] = {
        {"&amp;", "&", true},
        {"&#65;", "A", true},
        {"&#x41;&#x6a;&#x6A;", "Ajj", true},
        {"&lt;&gt;&quot;&apos;", "<>\"'", true},
        {"&amp;amp;", "&amp;", true},
        {"&#233;", "\xE9", true},
        {"&#xFF;&#128;", "\xFF\x80", true},
        {"&#x20AC;&#x2019;&#x178;", "\x80\x92\x9F", true},
        {"&#x4E2D;&#x1F600;", "??", true},
        {"a&#10;b&#13;c&#9;d", "a\nb\rc\td", true},
        {"-- go to the hall\nmove('hall')\n", "-- go to the hall\nmove('hall')\n", false},
        {"\n  \t x = 1  \n\n", "\n  \t x = 1  \n\n", false},
        {"a = 1\r\nb = 2\rc = 3", "a = 1\nb = 2\nc = 3", false},
        {"<![CDATA[if a < b and c > d then s = \"&amp;\" end -- x\n]]>",
         "if a < b and c > d then s = \"&amp;\" end -- x\n", false},
        {"x = 1 <![CDATA[y = 2]]>\nz = 3", "x = 1 y = 2\nz = 3", false},
        {"a()\n<!-- note -->b()", "a()\nb()", false},
        {"a()\n  <event name='e'>b()</event>\n  c()", "a()\n  b()\n  c()", false},
        {"a()<e/>\n<e/>b()", "a()\nb()", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        const std::string attribute = c.inAttribute ? std::string(" a=\"") + c.raw + "\"" : "";
        const Element root = RootOf("<korvantine" + attribute + ">" + c.raw + "</korvantine>");
        EXPECT_EQ(XmlDom::Text(root), c.expected);
        if (c.inAttribute) {
            EXPECT_EQ(XmlDom::RequiredAttr(root, "a"), c.expected);
        }
    }
}

TEST(XmlDom, TextEndsAtFirstZeroByte) {
    const std::string text("<korvantine v='1'/>\0<broken", 27);
    EXPECT_EQ(XmlDom::RequiredAttr(RootOf(text), "v"), "1");
    EXPECT_EQ(
        ThrownText([] { XmlDom::LoadString(std::string("<korvantine>\0</korvantine>", 26)); }),
        kMalformed);
}

TEST(XmlDom, HandlesOutliveTheirDocument) {
    Element part;
    XmlDom::Selection states;
    {
        const XmlDom::Document doc = XmlDom::LoadString(
            "<korvantine><part name='p'><state name='s'>run()</state></part></korvantine>");
        part = XmlDom::Child(XmlDom::Root(doc), "part");
        states = XmlDom::SelectNodes(part, "state");
    }
    EXPECT_EQ(XmlDom::RequiredAttr(part, "name"), "p");
    EXPECT_EQ(XmlDom::Text(XmlDom::Item(states, 0)), "run()");
}

TEST(XmlDom, DeepNestingReadsWithoutRecursion) {
    const int depth = 200000;
    std::string text = "<korvantine>";
    for (int i = 0; i < depth; ++i) {
        text += "<a>";
    }
    text += "x&#65;";
    for (int i = 0; i < depth; ++i) {
        text += "</a>";
    }
    text += "</korvantine>";
    EXPECT_EQ(XmlDom::Text(RootOf(text)), "xA");
}

} // namespace
