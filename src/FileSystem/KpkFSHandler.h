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
    // The virtual file of an entry found in the pack tables, named location; none when its
    // pack has no open stream. The locator calls it directly with (pack, entry) pairs, so
    // a '#' or ':' in a path or entry name never has to be parsed out of a location.
    static wxFSFile* OpenEntry(wxFileSystem& fs, const PackEntry& record, const wxString& location);
    wxString FindFirst(const wxString& pattern, int flags = 0) override;
    wxString FindNext() override;
};
