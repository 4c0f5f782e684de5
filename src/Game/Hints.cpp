#include "Game/Hints.h"

#include "FileSystem/CodePage.h"
#include "Platform/Gfx/Font.h"

#include <cstdint>
#include <optional>

namespace Hints {
namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence at `at` with its character in `code`, or 0 when the
// bytes there are no valid sequence.
std::size_t DecodeOne(const std::string& text, std::size_t at, std::uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    const bool valid = code >= minimum && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return valid ? length : 0;
}

} // namespace

bool IsUtf8(const std::string& text) {
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeOne(text, i, code);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::wstring DecodeUtf8(const std::string& text) {
    constexpr wchar_t kReplacement = 0xFFFD;
    std::wstring out;
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeOne(text, i, code);
        out.push_back(length != 0 ? static_cast<wchar_t>(code) : kReplacement);
        i += length != 0 ? length : 1;
    }
    return out;
}

void Parse(const std::string& bytes, std::map<std::string, std::wstring>& hints,
           std::vector<std::string>& unusable) {
    std::size_t at = bytes.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    const bool utf8 = IsUtf8(bytes.substr(at));
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        end = end == std::string::npos ? bytes.size() : end;
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, colon);
        const std::string text = line.substr(colon + 1);
        if (!utf8) {
            hints[key] = Gfx::DecodeCodePage(text);
        } else if (const std::optional<std::string> name = CodePage::FromUtf8(key)) {
            hints[*name] = DecodeUtf8(text);
        } else {
            unusable.push_back(key);
        }
    }
}

} // namespace Hints
