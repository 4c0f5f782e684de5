#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include <wx/stream.h>

// Reading a whole stream into memory by what it delivers. The length a ZIP entry declares is
// only a claim of the archive: the buffer grows as bytes arrive, so an entry that claims
// gigabytes and holds a few bytes costs a few bytes. A loose file's and a pack entry's lengths
// come from the files on disk (a pack's directory is checked against its file) and are taken
// as they are.
namespace WholeStream {

// The most bytes one data file may hold when it is read whole.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// Reads the stream from its position to its end into out. A stream that declares its length
// must deliver exactly that many bytes; no stream may deliver more than limit. Returns an
// empty text on success, else why the read failed ("it ends after 12 of the 2147483648 bytes
// it declares"); out then holds what was read.
std::string Read(wxInputStream& stream, std::vector<std::uint8_t>& out,
                 std::size_t limit = kMaxFileBytes);

} // namespace WholeStream
