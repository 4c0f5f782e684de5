#include "FileSystem/AtomicFile.h"

#include "Game/Log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// Makes a rename in the folder of path durable; a failure is logged, since the new file is
// in place all the same.
void SyncFolder(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    int error = 0;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        error = errno;
    }
    if (fd >= 0 && ::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        LogFormat("Cannot sync folder '%1%' after writing '%2%': %3%", folder, path,
                  std::strerror(error));
    }
}

// A new temporary file at path, opened for writing. What is left at path (a temporary file
// of a write that never ended, or a link planted there) is removed first, and the file is
// created only where nothing is, so no write follows a link out of the folder.
int CreateTemporary(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return -1;
    }
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

} // namespace

AtomicFile::AtomicFile(const std::string& path)
    : path_(path), temp_(path + ".tmp"), fd_(CreateTemporary(temp_)) {}

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
    SyncFolder(path_);
    return true;
}

bool AtomicFile::WriteWhole(const std::string& path, const std::string& bytes) {
    AtomicFile file(path);
    return file.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) &&
           file.Commit();
}
