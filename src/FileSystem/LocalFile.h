#pragma once

#include <cstdint>
#include <memory>
#include <string>

class wxInputStream;

// Plain files of the installation opened by their path's bytes, with no name conversion in
// between, so any name the file system holds can be opened whatever the C library's locale.
namespace LocalFile {

// A descriptor of the regular file at path opened for reading, and its size; -1 when the file
// cannot be opened or is not a regular file.
int OpenRegular(const std::string& path, std::uint64_t& size);

// The regular file at path as a stream, or none.
std::unique_ptr<wxInputStream> Open(const std::string& path);

} // namespace LocalFile
