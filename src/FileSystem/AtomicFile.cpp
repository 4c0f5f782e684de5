#include "FileSystem/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// Makes a rename in the folder of path durable.
bool SyncFolder(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace

AtomicFile::AtomicFile(const std::string& path)
    : path_(path), temp_(path + ".tmp"),
      fd_(::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}

AtomicFile::~AtomicFile() {
    Abandon();
}

void AtomicFile::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
        fd_ = -1;
    }
}

bool AtomicFile::Write(const std::uint8_t* bytes, std::size_t size) {
    while (fd_ >= 0 && size > 0) {
        const ssize_t done = ::write(fd_, bytes, size);
        if (done < 0) {
            if (errno != EINTR) {
                Abandon();
            }
            continue;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return fd_ >= 0;
}

bool AtomicFile::Commit() {
    if (fd_ < 0) {
        return false;
    }
    bool ok = ::fsync(fd_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    ok = ok && ::rename(temp_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ::unlink(temp_.c_str());
        return false;
    }
    return SyncFolder(path_);
}

bool AtomicFile::WriteWhole(const std::string& path, const std::string& bytes) {
    AtomicFile file(path);
    return file.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) &&
           file.Commit();
}
