#pragma once

#include <map>
#include <string>
#include <vector>

// The hints files of the inventory and the library: text lines, each a key (an item or a
// book name), a colon and the hint. A file is read one way throughout: when all of it is
// valid UTF-8 (a leading byte-order mark is skipped), as UTF-8, each key converted to the
// data's code page (Windows-1252) so that it compares equal to the names of the definition;
// any other file as Windows-1252, keys and texts alike.
namespace Hints {

// Whether the whole text is valid UTF-8 (no malformed, overlong or surrogate sequence).
bool IsUtf8(const std::string& text);
// Decodes UTF-8; each byte of a malformed, overlong or surrogate sequence becomes U+FFFD.
std::wstring DecodeUtf8(const std::string& text);

// Adds the hints of a file's bytes to `hints`: every line split at its first ':' (a line
// without one is skipped), the key and the hint decoded as the file's encoding says. A later
// line replaces an earlier hint of its key. Line ends are LF or CR LF. The keys of a UTF-8
// file that have no form in the data's code page can name no item or book; they are left
// out and added to `unusable`, as written.
void Parse(const std::string& bytes, std::map<std::string, std::wstring>& hints,
           std::vector<std::string>& unusable);

} // namespace Hints
