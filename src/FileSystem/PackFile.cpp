#include "FileSystem/PackFile.h"

#include "FileSystem/LocalFile.h"

#include <cerrno>
#include <unistd.h>

std::shared_ptr<PackFile> PackFile::Open(const std::string& path) {
    std::uint64_t size = 0;
    const int fd = LocalFile::OpenRegular(path, size);
    if (fd < 0) {
        return nullptr;
    }
    return std::shared_ptr<PackFile>(new PackFile(fd, size));
}

PackFile::~PackFile() {
    ::close(fd_);
}

std::ptrdiff_t PackFile::ReadAt(std::uint64_t pos, void* buffer, std::size_t size) const {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd_, out + done, size - done, static_cast<off_t>(pos + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::ptrdiff_t>(done);
}
