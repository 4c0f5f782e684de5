#pragma once

#include <string>
#include <string_view>
#include <wx/string.h>

// How the archive's values appear as document text. The game's strings are 8-bit text in
// the data's code page (Windows-1252) while the document is UTF-8; the conversion keeps
// every byte: each byte becomes the character it stands for, the bytes the code page leaves
// unassigned become the characters of the same number, and the control bytes that XML
// cannot hold (all below 0x20 except tab, line feed and carriage return) become the
// private-use characters U+E000 + byte. Reading turns each of these back into its byte;
// any other character (a hand-edited document) becomes '?'.
namespace xs::text {

wxString ToDocument(const std::string& text);
std::string FromDocument(const wxString& text);
// The same conversions on the document's UTF-8 bytes (as the XML parser hands them over;
// FromUtf8 expects well-formed UTF-8).
std::string ToUtf8(const std::string& text);
std::string FromUtf8(std::string_view utf8);

// 9 significant digits in general notation, whatever the locale, which reads back as the
// same float: 1500 as "1500", one third as "0.333333343", 12345679 as "12345679".
std::string FormatFloat(float value);
// The text as a float; text that is not a finite number of float's range (trailing
// characters, "nan", "inf", 1e39) throws boost::bad_lexical_cast.
float ParseFloat(const std::string& text);

std::string FormatBool(bool value);      // "yes" or "no"
bool ParseBool(const std::string& text); // true unless exactly "no"

} // namespace xs::text
