#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reference decoding for the definition reader (XmlDom): turns the raw bytes of an attribute
// value or a text section into the 8-bit text handed to the game.
namespace XmlText {

// The 8-bit byte that stands for a character: itself up to U+00FF, its Windows-1252 byte for
// the characters that code page places at 0x80 to 0x9F, '?' for any other character.
char CharToByte(std::uint32_t code);
// The character a byte stands for: its Windows-1252 character, or (for the bytes that code
// page leaves unassigned and for every byte below 0x80) the character of the same number,
// so that CharToByte gives the byte back.
std::uint32_t ByteToChar(char byte);

enum class Kind { Attribute, ElementText };

// `raw` with every reference decoded: the five predefined entities (&amp; &lt; &gt; &quot;
// &apos;) and character references (&#65; &#x41;), each to one byte (CharToByte); all other
// bytes are copied unchanged. No value when `raw` is not well-formed: an '&' that starts no
// such reference, a reference to a character XML does not allow, a '<', or "]]>" in element
// text.
std::optional<std::string> Decode(std::string_view raw, Kind kind);

} // namespace XmlText
