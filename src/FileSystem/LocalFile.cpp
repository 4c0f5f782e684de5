#include "FileSystem/LocalFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/wfstream.h>

namespace LocalFile {

int OpenRegular(const std::string& path, std::uint64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return fd;
}

std::unique_ptr<wxInputStream> Open(const std::string& path) {
    std::uint64_t size = 0;
    const int fd = OpenRegular(path, size);
    if (fd < 0) {
        return nullptr;
    }
    // The stream owns the descriptor and closes it.
    return std::make_unique<wxFileInputStream>(fd);
}

} // namespace LocalFile
