// Files whose headers claim more (or less) than they hold, read whole through the locator:
// each is read or refused with at most a little more memory than it holds, and a refusal
// says why in the log.

#include "AllocationWatch.h"
#include "FileSystem/Locator.h"
#include "FileSystem/WholeStream.h"
#include "FileSystemFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kLimit = WholeStream::kMaxFileBytes;

// `count` bytes of a repeating text: the ZIP writer deflates them.
std::string Text(std::size_t count) {
    std::string bytes;
    while (bytes.size() < count) {
        bytes += "an 8x8 picture; ";
    }
    bytes.resize(count);
    return bytes;
}

TEST(LyingArchive, ReadsTakeWhatTheFileHoldsNotWhatItClaims) {
    enum Kind { Zip, Loose, Pack };
    const struct {
        const char* what;
        Kind kind;
        std::uint64_t holds;  // bytes the entry or file really holds
        std::uint64_t claims; // what its header declares
        std::size_t most;     // the largest allocation the read may make
        std::string failure;  // after "Cannot read file 'x.png': "; empty: read whole
    } rows[] = {
        {"zip entry claiming 2 GB", Zip, 256, 0x80000000u, 64 * 1024,
         "it declares 2147483648 bytes, more than the 268435456 a file may hold"},
        {"zip entry claiming 4 GB", Zip, 256, 0xFFFFFFF0u, 64 * 1024,
         "it declares 4294967280 bytes, more than the 268435456 a file may hold"},
        {"zip entry claiming 200 MB", Zip, 256, 200u << 20, 256 * 1024,
         "it ends after 256 of the 209715200 bytes it declares"},
        {"zip entry claiming less", Zip, 300000, 1000, 64 * 1024,
         "it holds more than the 1000 bytes it declares"},
        {"honest zip entry", Zip, 300000, 300000, 300000, ""},
        {"honest loose file", Loose, 300000, 300000, 300000, ""},
        {"loose file beyond the limit", Loose, kLimit + 1, kLimit + 1, 64 * 1024,
         "it declares 268435457 bytes, more than the 268435456 a file may hold"},
        {"honest pack entry", Pack, 300000, 300000, 300000, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::GameTree tree;
        const std::string bytes = row.holds <= (1u << 20) ? Text(row.holds) : std::string();
        switch (row.kind) {
        case Zip:
            tree.AddZip("a.kpz", {{"x.png", bytes}});
            if (row.claims != row.holds) {
                tree.DeclareZipSize("a.kpz", static_cast<std::uint32_t>(row.claims));
            }
            break;
        case Loose:
            tree.AddLoose("x.png", bytes);
            // A sparse file: its length is real but costs no disk.
            std::filesystem::resize_file(tree.Data() / "x.png", row.holds);
            break;
        case Pack:
            tree.AddPack("a.kpk", {{"x.png", bytes}});
            break;
        }
        Locator locator;
        locator.Init(tree.Root().string());
        const test::LogTail log;
        std::vector<std::uint8_t> out;
        bool read = false;
        EXPECT_LE(test::LargestAllocation([&] { read = locator.ReadAll("x.png", out); }), row.most);
        EXPECT_EQ(read, row.failure.empty());
        if (row.failure.empty()) {
            EXPECT_EQ(test::Text(out), bytes);
            EXPECT_TRUE(log.Lines().empty());
        } else {
            EXPECT_EQ(log.Lines(),
                      std::vector<std::string>{"Cannot read file 'x.png': " + row.failure});
        }
    }
}

} // namespace
