#include "FileSystem/CodePage.h"

#include "Game/XmlText.h"

#include <wx/string.h>

namespace {

// The bytes from 0x80 to 0x9F that Windows-1252 leaves without a character. The shared
// table gives them the character of the same number so that definition text survives a round
// trip; file names refuse them instead, as the system's converters do.
bool Unassigned(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

} // namespace

namespace CodePage {

std::optional<std::string> ToUtf8(const std::string& text) {
    wxString wide;
    wide.reserve(text.size());
    for (const char byte : text) {
        if (Unassigned(static_cast<unsigned char>(byte))) {
            return std::nullopt;
        }
        wide.append(wxUniChar(XmlText::ByteToChar(byte)));
    }
    const wxScopedCharBuffer utf8 = wide.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

std::optional<std::string> FromUtf8(const std::string& text) {
    const wxString wide = wxString::FromUTF8(text.data(), text.size());
    if (wide.empty() != text.empty()) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(wide.length());
    for (const wxUniChar c : wide) {
        const std::uint32_t code = c.GetValue();
        const char byte = XmlText::CharToByte(code);
        // The C1 controls have no byte in the code page, and '?' stands for any character
        // the table cannot hold.
        if ((code >= 0x80 && code < 0xA0) || (byte == '?' && code != '?')) {
            return std::nullopt;
        }
        bytes.push_back(byte);
    }
    return bytes;
}

} // namespace CodePage
