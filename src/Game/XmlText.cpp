#include "Game/XmlText.h"

#include <array>

namespace XmlText {
namespace {

// The characters of Windows-1252 at the bytes 0x80 to 0x9F (0 where the byte is unassigned).
constexpr std::array<std::uint32_t, 32> kHighCharacters = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Char production of XML 1.0.
bool IsXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

int DigitValue(char c, int base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The character of a character reference's body ("#65", "#x41"); none when malformed.
std::optional<std::uint32_t> CharacterReference(std::string_view body) {
    int base = 10;
    body.remove_prefix(1);
    if (!body.empty() && body.front() == 'x') {
        base = 16;
        body.remove_prefix(1);
    }
    if (body.empty()) {
        return std::nullopt;
    }
    std::uint32_t code = 0;
    for (char c : body) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            return std::nullopt;
        }
        code = code * base + digit;
        if (code > 0x10FFFF) {
            return std::nullopt;
        }
    }
    if (!IsXmlChar(code)) {
        return std::nullopt;
    }
    return code;
}

// The byte of a reference's body (the text between '&' and ';'); none when malformed.
std::optional<char> Reference(std::string_view body) {
    if (body == "amp") {
        return '&';
    }
    if (body == "lt") {
        return '<';
    }
    if (body == "gt") {
        return '>';
    }
    if (body == "quot") {
        return '"';
    }
    if (body == "apos") {
        return '\'';
    }
    if (body.empty() || body.front() != '#') {
        return std::nullopt;
    }
    const auto code = CharacterReference(body);
    if (!code) {
        return std::nullopt;
    }
    return CharToByte(*code);
}

} // namespace

char CharToByte(std::uint32_t code) {
    if (code <= 0xFF) {
        return static_cast<char>(code);
    }
    for (std::size_t i = 0; i < kHighCharacters.size(); ++i) {
        if (kHighCharacters[i] == code) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

std::uint32_t ByteToChar(char byte) {
    const auto code = static_cast<std::uint8_t>(byte);
    if (code >= 0x80 && code < 0xA0 && kHighCharacters[code - 0x80] != 0) {
        return kHighCharacters[code - 0x80];
    }
    return code;
}

std::optional<std::string> Decode(std::string_view raw, Kind kind) {
    if (raw.find('<') != std::string_view::npos ||
        (kind == Kind::ElementText && raw.find("]]>") != std::string_view::npos)) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(raw.size());
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const std::size_t amp = raw.find('&', pos);
        if (amp == std::string_view::npos) {
            text.append(raw.substr(pos));
            break;
        }
        text.append(raw.substr(pos, amp - pos));
        const std::size_t semicolon = raw.find(';', amp + 1);
        if (semicolon == std::string_view::npos) {
            return std::nullopt;
        }
        const auto byte = Reference(raw.substr(amp + 1, semicolon - amp - 1));
        if (!byte) {
            return std::nullopt;
        }
        text.push_back(*byte);
        pos = semicolon + 1;
    }
    return text;
}

} // namespace XmlText
