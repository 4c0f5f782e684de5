#include "FileSystem/KpkFSHandler.h"

#include "FileSystem/InternalInputStream.h"
#include "FileSystem/Pack.h"

#include <wx/datetime.h>
#include <wx/filename.h>

namespace {

constexpr char kMarker[] = "#kpk:";
constexpr std::size_t kMarkerLength = sizeof kMarker - 1;

} // namespace

bool KpkFSHandler::CanOpen(const wxString& location) {
    return GetProtocol(location) == "kpk";
}

wxFSFile* KpkFSHandler::OpenFile(wxFileSystem& fs, const wxString& location) {
    const size_t marker = location.find(kMarker);
    if (marker == wxString::npos) {
        return nullptr;
    }
    const wxString left = location.substr(0, marker);
    const wxString packPath =
        left.StartsWith("file:") ? wxFileSystem::URLToFileName(left).GetFullPath() : left;
    const std::string name(location.substr(marker + kMarkerLength).utf8_str());
    const auto record = Pack::Find(std::string(packPath.utf8_str()), name);
    if (!record) {
        return nullptr;
    }
    return OpenEntry(fs, *record, location);
}

wxFSFile* KpkFSHandler::OpenEntry(wxFileSystem&, const PackEntry& record,
                                  const wxString& location) {
    std::shared_ptr<const PackFile> file = Pack::Stream(record.pack_);
    if (file == nullptr) {
        return nullptr;
    }
    // The MIME type is left to the file, which derives it from the location's extension
    // when someone asks for it.
    return new wxFSFile(new InternalInputStream(std::move(file), record.offset_, record.size_),
                        location, wxEmptyString, GetAnchor(location), wxDateTime::Now());
}

wxString KpkFSHandler::FindFirst(const wxString&, int) {
    return wxEmptyString;
}

wxString KpkFSHandler::FindNext() {
    return wxEmptyString;
}
