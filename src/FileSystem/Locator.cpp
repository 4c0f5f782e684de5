#include "FileSystem/Locator.h"

#include "FileSystem/CodePage.h"
#include "FileSystem/DataPaths.h"
#include "FileSystem/KpkFSHandler.h"
#include "FileSystem/LocalFile.h"
#include "FileSystem/Pack.h"
#include "FileSystem/WholeStream.h"
#include "FileSystem/ZipArchive.h"
#include "Game/Log.h"

#include <mutex>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/stream.h>

namespace {

// The file system's handlers are process-wide: the local-file handler (which the
// library's start-up normally adds itself), the ZIP archive handler, then the packs'.
void AddHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!wxFileSystem::HasHandlerForPath(wxFileSystem::FileNameToURL(wxFileName("/")))) {
            wxFileSystem::AddHandler(new wxLocalFSHandler);
        }
        wxFileSystem::AddHandler(new wxArchiveFSHandler);
        wxFileSystem::AddHandler(new KpkFSHandler);
    });
}

// A "file:" URL for a full path: a '#' or '%' in the path cannot be taken for a
// location's separator or an escape.
std::string FileUrl(const std::string& path) {
    return std::string(
        wxFileSystem::FileNameToURL(wxFileName(wxString::FromUTF8(path))).utf8_str());
}

// The names a data path may have on disk: its 8-bit text as UTF-8 (the file system's usual
// names), then the bytes unchanged (files copied from the data's own file system as they were).
std::vector<std::string> DiskNames(const std::string& relative) {
    std::vector<std::string> names;
    if (const auto utf8 = CodePage::ToUtf8(relative)) {
        names.push_back(*utf8);
    }
    if (names.empty() || names.front() != relative) {
        names.push_back(relative);
    }
    return names;
}

// The stream of a virtual file, which is released; none for none.
std::unique_ptr<wxInputStream> StreamOf(wxFSFile* opened) {
    const std::unique_ptr<wxFSFile> file(opened);
    return std::unique_ptr<wxInputStream>(file != nullptr ? file->DetachStream() : nullptr);
}

} // namespace

Locator& Locator::Instance() {
    static const std::unique_ptr<Locator> instance = [] {
        auto locator = std::make_unique<Locator>();
        locator->Init();
        return locator;
    }();
    return *instance;
}

Locator::Locator() = default;
Locator::~Locator() = default;

void Locator::Init() {
    Init(DataPaths::ExecutableRoot());
}

void Locator::Init(const std::string& root) {
    const std::lock_guard lock(mutex_);
    AddHandlers();
    fs_ = std::make_unique<wxFileSystem>();
    root_ = root;
    while (root_.size() > 1 && root_.back() == '/') {
        root_.pop_back();
    }
    const std::string data = root_ + "/Data";
    const std::vector<std::string> packs = DataPaths::ListArchives(data, ".kpk");
    const std::vector<std::string> zips = DataPaths::ListArchives(data, ".kpz");
    Pack::UnmountAll();
    packs_.clear();
    zips_.clear();
    for (const std::string& pack : packs) {
        // A pack that fails to mount has been logged and serves nothing.
        if (Pack::Mount(pack, Pack::Table::Data)) {
            packs_.push_back(pack);
        }
    }
    for (const std::string& path : zips) {
        ZipArchive zip;
        if (zip.Load(path)) {
            zips_.push_back(std::move(zip));
        } else {
            LogFormat("Bad ZIP archive '%1%'", path);
        }
    }
}

std::string Locator::DataPath(const std::string& path) const {
    return root_ + "/Data/" + DiskNames(DataPaths::Normalise(path)).front();
}

std::unique_ptr<wxInputStream> Locator::OpenLocked(const std::string& location) {
    if (fs_ == nullptr) {
        return nullptr;
    }
    return StreamOf(fs_->OpenFile(wxString::FromUTF8(location)));
}

std::unique_ptr<wxInputStream> Locator::Open(const std::string& path) {
    const std::string relative = DataPaths::Normalise(path);
    if (!DataPaths::IsRefused(relative)) {
        const std::lock_guard lock(mutex_);
        for (const std::string& name : DiskNames(relative)) {
            if (auto stream = LocalFile::Open(root_ + "/Data/" + name)) {
                return stream;
            }
            if (const auto loose = DataPaths::FindIgnoringCase(root_ + "/Data", name)) {
                if (auto stream = LocalFile::Open(*loose)) {
                    return stream;
                }
            }
        }
        for (const std::string& pack : packs_) {
            if (const auto record = Pack::Find(pack, relative)) {
                const wxString location =
                    wxString::FromUTF8(FileUrl(pack) + "#kpk:" + DiskNames(relative).front());
                if (auto stream = StreamOf(KpkFSHandler::OpenEntry(*fs_, *record, location))) {
                    return stream;
                }
            }
        }
        for (const ZipArchive& zip : zips_) {
            if (auto stream = zip.Open(relative)) {
                return stream;
            }
        }
    }
    LogFormat("Cannot open file '%1%'", path);
    return nullptr;
}

bool Locator::ReadAll(const std::string& path, std::vector<std::uint8_t>& out) {
    const std::unique_ptr<wxInputStream> stream = Open(path);
    if (stream == nullptr) {
        out.clear();
        return false;
    }
    if (const std::string failure = WholeStream::Read(*stream, out); !failure.empty()) {
        LogFormat("Cannot read file '%1%': %2%", path, failure);
        return false;
    }
    return true;
}

std::unique_ptr<wxInputStream> Locator::OpenLocation(const std::string& location) {
    const std::lock_guard lock(mutex_);
    return OpenLocked(location);
}

std::string Locator::SaveDir() const {
    return root_ + "/Save";
}

std::string Locator::OptionsPath() const {
    return root_ + "/Bin/korvantine.cfg";
}

std::string Locator::SavePath(int n) const {
    return root_ + "/Save/save_" + std::to_string(n) + ".kgs";
}

void initLocator() {
    Locator::Instance().SaveDir();
}
