#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>
#include <wx/stream.h>

class wxZipEntry;

// A ZIP archive of the data folder. Its catalogue is read once; entries are then found by
// name and opened straight from the archive file, so no character of a name (a '#' or ':'
// included) is ever parsed as part of a location. Entry names are compared as the data's
// 8-bit text: names stored as UTF-8 (flagged so in the archive) and names stored in the
// data's code page are both converted to it. Opening an entry changes nothing shared, so any
// thread may open entries at the same time.
class ZipArchive {
public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(ZipArchive&&) noexcept;
    ZipArchive& operator=(ZipArchive&&) noexcept;

    // Reads the catalogue of the archive at path; false when the file is missing or its
    // catalogue is damaged, and the archive then serves nothing.
    bool Load(const std::string& path);

    // The stream of the entry named name (8-bit text, '/' separators, case-sensitive), or
    // none when there is no such entry or it cannot be opened.
    std::unique_ptr<wxInputStream> Open(const std::string& name) const;

    // The names of the entries it serves, in byte order.
    std::vector<std::string> Names() const;

private:
    std::string path_;
    std::map<std::string, std::unique_ptr<wxZipEntry>> entries_;
};
