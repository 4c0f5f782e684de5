#include "FileSystem/CodePage.h"

#include <wx/strconv.h>
#include <wx/string.h>

namespace {

wxMBConv& Conv() {
    static wxCSConv conv(wxFONTENCODING_CP1252);
    return conv;
}

} // namespace

namespace CodePage {

std::optional<std::string> ToUtf8(const std::string& text) {
    const wxString wide(text.data(), Conv(), text.size());
    // A failed conversion gives an empty text; every byte is one character.
    if (wide.length() != text.size()) {
        return std::nullopt;
    }
    const wxScopedCharBuffer utf8 = wide.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

std::optional<std::string> FromUtf8(const std::string& text) {
    const wxString wide = wxString::FromUTF8(text.data(), text.size());
    if (wide.empty() != text.empty()) {
        return std::nullopt;
    }
    const wxCharBuffer bytes = wide.mb_str(Conv());
    if (bytes.length() != wide.length()) {
        return std::nullopt;
    }
    return std::string(bytes.data(), bytes.length());
}

} // namespace CodePage
