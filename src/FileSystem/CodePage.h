#pragma once

#include <optional>
#include <string>

// Conversions between the data's 8-bit text (Windows-1252: names in the definition, pack
// entry names) and UTF-8 (the names of the file system and of ZIP entries). They are explicit
// and never depend on the C library's locale.
namespace CodePage {

// None when the text holds a byte that the code page leaves undefined.
std::optional<std::string> ToUtf8(const std::string& text);
// None when the text is not UTF-8 or holds a character that has no byte in the code page.
std::optional<std::string> FromUtf8(const std::string& text);

} // namespace CodePage
