#include "FileSystem/ZipArchive.h"

#include "FileSystem/CodePage.h"
#include "FileSystem/LocalFile.h"

#include <wx/zipstrm.h>

namespace {

// The decoding of names stored without the archive's UTF-8 flag: the data's code page. The
// ZIP stream keeps a reference to it, so it lives as long as the process.
wxMBConv& LegacyNames() {
    static wxCSConv conv(wxFONTENCODING_CP1252);
    return conv;
}

} // namespace

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() = default;
ZipArchive::ZipArchive(ZipArchive&&) noexcept = default;
ZipArchive& ZipArchive::operator=(ZipArchive&&) noexcept = default;

bool ZipArchive::Load(const std::string& path) {
    path_ = path;
    entries_.clear();
    const std::unique_ptr<wxInputStream> file = LocalFile::Open(path);
    if (file == nullptr) {
        return false;
    }
    wxZipInputStream zip(*file, LegacyNames());
    std::map<std::string, std::unique_ptr<wxZipEntry>> entries;
    while (wxZipEntry* read = zip.GetNextEntry()) {
        std::unique_ptr<wxZipEntry> entry(read);
        // A name with a character the data's text cannot hold can never be asked for.
        const auto name = CodePage::FromUtf8(std::string(entry->GetName(wxPATH_UNIX).utf8_str()));
        if (!entry->IsDir() && name) {
            entries.emplace(*name, std::move(entry));
        }
    }
    if (zip.GetLastError() != wxSTREAM_EOF) {
        return false;
    }
    entries_ = std::move(entries);
    return true;
}

std::unique_ptr<wxInputStream> ZipArchive::Open(const std::string& name) const {
    const auto found = entries_.find(name);
    if (found == entries_.end()) {
        return nullptr;
    }
    std::unique_ptr<wxInputStream> file = LocalFile::Open(path_);
    if (file == nullptr) {
        return nullptr;
    }
    // The ZIP stream owns the file stream; it reads the entry's data after OpenEntry.
    auto zip = std::make_unique<wxZipInputStream>(file.release(), LegacyNames());
    wxZipEntry entry(*found->second);
    if (!zip->OpenEntry(entry)) {
        return nullptr;
    }
    return zip;
}

std::vector<std::string> ZipArchive::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : entries_) {
        names.push_back(entry.first);
    }
    return names;
}
