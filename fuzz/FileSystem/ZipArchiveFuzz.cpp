// Loads arbitrary bytes as a ZIP archive of the data folder and reads every entry it serves
// whole, as the locator does: a read may fail, but never takes more than its bound, and a
// read that succeeds delivers exactly the length the entry declares.

#include "FileSystem/WholeStream.h"
#include "FileSystem/ZipArchive.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#include <wx/init.h>
#include <wx/log.h>

namespace {

// Small, so that an entry that claims much is cut early and runs stay fast.
constexpr std::size_t kLimit = 1 << 20;

// The archive lives in an in-memory file, opened by path like any archive.
int ArchiveFd() {
    static const int fd = ::memfd_create("archive", MFD_CLOEXEC);
    if (fd < 0) {
        std::abort();
    }
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static wxInitializer library;
    // The ZIP stream reports damaged entries through the library's log as well.
    const wxLogNull quiet;
    const int fd = ArchiveFd();
    if (!library.IsOk() || ::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    ZipArchive zip;
    if (!zip.Load("/proc/self/fd/" + std::to_string(fd))) {
        return 0;
    }
    for (const std::string& name : zip.Names()) {
        const std::unique_ptr<wxInputStream> stream = zip.Open(name);
        if (stream == nullptr) {
            continue;
        }
        const wxFileOffset declared = stream->GetLength();
        std::vector<std::uint8_t> bytes;
        const std::string failure = WholeStream::Read(*stream, bytes, kLimit);
        if (bytes.size() > kLimit || bytes.capacity() > kLimit) {
            std::abort();
        }
        if (failure.empty() && declared != wxInvalidOffset &&
            bytes.size() != static_cast<std::uint64_t>(declared)) {
            std::abort();
        }
    }
    return 0;
}
