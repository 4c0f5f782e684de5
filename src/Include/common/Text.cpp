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
        const std::uint32_t code = c.GetValue();
        if (code >= kControlBase && code < kControlBase + 0x20 &&
            IsXmlControl(static_cast<unsigned char>(code - kControlBase))) {
            bytes.push_back(static_cast<char>(code - kControlBase));
        } else {
            bytes.push_back(XmlText::CharToByte(code));
        }
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
