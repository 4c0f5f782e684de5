#include "Include/common/Text.h"

#include "Game/XmlText.h"

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <locale>
#include <sstream>
#include <typeinfo>

namespace xs::text {
namespace {

constexpr std::uint32_t kControlBase = 0xE000;

bool IsXmlControl(unsigned char byte) {
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// The byte a character of the document stands for.
char ByteOf(std::uint32_t code) {
    if (code >= kControlBase && code < kControlBase + 0x20 &&
        IsXmlControl(static_cast<unsigned char>(code - kControlBase))) {
        return static_cast<char>(code - kControlBase);
    }
    return XmlText::CharToByte(code);
}

} // namespace

wxString ToDocument(const std::string& text) {
    wxString document;
    document.reserve(text.size());
    for (char byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        const std::uint32_t c =
            IsXmlControl(code) ? kControlBase + code : XmlText::ByteToChar(byte);
        document.append(wxUniChar(c));
    }
    return document;
}

std::string FromDocument(const wxString& text) {
    std::string bytes;
    bytes.reserve(text.length());
    for (const wxUniChar c : text) {
        bytes.push_back(ByteOf(c.GetValue()));
    }
    return bytes;
}

std::string ToUtf8(const std::string& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (char byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        const std::uint32_t c =
            IsXmlControl(code) ? kControlBase + code : XmlText::ByteToChar(byte);
        if (c < 0x80) {
            utf8.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | c >> 6));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else { // every character of the conversion lies below U+10000
            utf8.push_back(static_cast<char>(0xE0 | c >> 12));
            utf8.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

std::string FromUtf8(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        // The sequence's length from its lead byte, and the lead byte's bits of the code.
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        bytes.push_back(ByteOf(code));
        i += length;
    }
    return bytes;
}

std::string FormatFloat(float value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(9);
    out << value;
    return out.str();
}

float ParseFloat(const std::string& text) {
    const float value = boost::lexical_cast<float>(text);
    if (!std::isfinite(value)) {
        throw boost::bad_lexical_cast(typeid(std::string), typeid(float));
    }
    return value;
}

std::string FormatBool(bool value) {
    return value ? "yes" : "no";
}

bool ParseBool(const std::string& text) {
    return text != "no";
}

} // namespace xs::text
