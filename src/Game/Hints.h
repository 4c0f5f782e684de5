#pragma once

#include <map>
#include <string>

// The hints files of the inventory and the library: text lines, each a key (an item or a
// book name, in the data's code page), a colon and the hint, in UTF-8.
namespace Hints {

// Decodes UTF-8; each byte of a malformed, overlong or surrogate sequence becomes U+FFFD.
std::wstring DecodeUtf8(const std::string& text);

// Adds the hints of a file's bytes to `hints`: every line split at its first ':' (a line
// without one is skipped), the key unchanged, the hint decoded. A later line replaces an
// earlier hint of its key. Line ends are LF or CR LF; a leading byte order mark is skipped.
void Parse(const std::string& bytes, std::map<std::string, std::wstring>& hints);

} // namespace Hints
