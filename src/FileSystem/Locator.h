#pragma once

#include "FileSystem/ZipArchive.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include <wx/stream.h>

class wxFileSystem;

// Finds and opens the game's data files by a path relative to the data folder (loose file
// first, then the packs "*.kpk", then the ZIP archives "*.kpz" of the data folder), and
// gives the fixed paths of the options file and the save games. Paths from the data are
// 8-bit text in the data's code page and may use backslashes. One lock guards the search,
// so the preload worker and the user interface may open files at the same time; the
// streams handed out are independent.
// The wxWidgets library must be initialised while the locator is used.
class Locator {
public:
    // The process's locator, built over the installation root on the first call.
    static Locator& Instance();

    Locator();
    ~Locator();
    Locator(const Locator&) = delete;
    Locator& operator=(const Locator&) = delete;

    // Lists and mounts the data folder's packs and ZIP archives under the installation
    // root (the parent of the executable's folder).
    void Init();
    // The same over an explicit root folder (tests and tools point it at a fixture tree).
    // The pack tables start afresh: the data packs are exactly those under this root.
    void Init(const std::string& root);

    // root + "/Data/" + the relative path with '/' separators, its 8-bit text as UTF-8.
    std::string DataPath(const std::string& path) const;

    // The file's stream, or none after logging "Cannot open file '%1%'". Never throws.
    std::unique_ptr<wxInputStream> Open(const std::string& path);
    // The whole file, read by what its stream delivers (see WholeStream); false when it was not
    // found, or after logging "Cannot read file '%1%': <why>" when it came short, ran past the
    // length it declares or holds more than WholeStream::kMaxFileBytes.
    bool ReadAll(const std::string& path, std::vector<std::uint8_t>& out);
    // A full location of the virtual file system (such as save path + "#kpk:info"),
    // without the data-folder search and without a log line.
    std::unique_ptr<wxInputStream> OpenLocation(const std::string& location);

    std::string SaveDir() const;       // root + "/Save"
    std::string OptionsPath() const;   // root + "/Bin/korvantine.cfg"
    std::string SavePath(int n) const; // root + "/Save/save_" + n + ".kgs"

    const std::string& Root() const { return root_; }

private:
    std::unique_ptr<wxInputStream> OpenLocked(const std::string& location);

    std::unique_ptr<wxFileSystem> fs_;
    std::string root_;
    std::vector<std::string> packs_; // paths of the data packs, in mount order
    std::vector<ZipArchive> zips_;   // the ZIP archives, in search order
    std::mutex mutex_;
};

// Makes sure the process's locator exists, so that the data archives are mounted.
void initLocator();
