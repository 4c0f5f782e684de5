#pragma once

#include "FileSystem/PackEntry.h"

#include <wx/filesys.h>

// The virtual file system's handler for pack entries, at locations of the form
// pack path + "#kpk:" + entry name. The pack path may be a plain path or a "file:" URL
// (which carries a '#' in the path escaped); the entry name is everything after the first
// "#kpk:". Packs cannot be listed.
class KpkFSHandler : public wxFileSystemHandler {
public:
    bool CanOpen(const wxString& location) override;
    wxFSFile* OpenFile(wxFileSystem& fs, const wxString& location) override;
    wxFSFile* OpenEntry(wxFileSystem& fs, const PackEntry& record, const wxString& location);
    wxString FindFirst(const wxString& spec, int flags = 0) override;
    wxString FindNext() override;
};
