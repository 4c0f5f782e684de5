// Reading a 64 MiB pack entry through Locator::ReadAll against plain read() of the same
// bytes from a loose file (page cache warm), and opening a name found only in the ZIP
// archive with 20 packs mounted.

#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <wx/init.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBig = 64 << 20;
constexpr int kPacks = 20;

std::string Numbered(const char* prefix, int n) {
    std::string text(prefix);
    text += std::to_string(n);
    return text;
}

// A game tree in a temporary folder: Data holds the big pack, 19 small packs and a ZIP
// archive; the loose copy of the big entry lies outside Data.
class Tree {
public:
    Tree() {
        char pattern[] = "/tmp/kvbench.XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            std::abort();
        }
        root_ = pattern;
        fs::create_directories(root_ / "Bin");
        fs::create_directories(root_ / "Data");
        std::vector<std::uint8_t> big(kBig);
        for (std::size_t i = 0; i < big.size(); ++i) {
            big[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
        }
        std::ofstream(root_ / "raw.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(big.data()),
                   static_cast<std::streamsize>(big.size()));
        Check(Pack::Write({{"big.bin", big}}, (root_ / "Data" / "big.kpk").string()));
        for (int p = 1; p < kPacks; ++p) {
            Pack::Entries entries;
            for (int e = 0; e < 50; ++e) {
                entries[Numbered("gfx/p", p) + Numbered("/e", e)] = {1, 2, 3};
            }
            Check(Pack::Write(entries, (root_ / "Data" / (Numbered("p", p) + ".kpk")).string()));
        }
        {
            // The archive is complete on disk (file closed) before the locator reads it.
            wxFFileOutputStream file((root_ / "Data" / "z.kpz").string());
            wxZipOutputStream zip(file);
            Check(zip.PutNextEntry("text/zip.txt"));
            zip.Write("zip only", 8);
            Check(zip.Close() && file.Close());
        }
        locator_.Init(root_.string());
        // Both files enter the page cache the same way, by reading, not as left by writing.
        Warm(Raw());
        Warm((root_ / "Data" / "big.kpk").string());
    }
    ~Tree() { fs::remove_all(root_); }

    Locator& locator() { return locator_; }
    std::string Raw() const { return (root_ / "raw.bin").string(); }

private:
    static void Warm(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::vector<char> buffer(1 << 20);
        Check(fd >= 0 && ::fdatasync(fd) == 0 &&
              ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    }

    static void Check(bool ok) {
        if (!ok) {
            std::abort();
        }
    }

    wxInitializer library_;
    fs::path root_;
    Locator locator_;
};

Tree& tree() {
    static Tree instance;
    return instance;
}

// Both reads fill a buffer that outlives the benchmark's runs, so neither pays for
// fresh pages.
std::vector<std::uint8_t>& Buffer() {
    static std::vector<std::uint8_t> buffer(kBig);
    return buffer;
}

void BM_PackReadAll(benchmark::State& state) {
    std::vector<std::uint8_t>& out = Buffer();
    for (auto _ : state) {
        if (!tree().locator().ReadAll("big.bin", out)) {
            state.SkipWithError("pack read failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBig));
}

void BM_LooseRead(benchmark::State& state) {
    const std::string raw = tree().Raw();
    std::vector<std::uint8_t>& out = Buffer();
    for (auto _ : state) {
        const int fd = ::open(raw.c_str(), O_RDONLY);
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t got = ::read(fd, out.data() + done, out.size() - done);
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        ::close(fd);
        if (done != kBig) {
            state.SkipWithError("loose read failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBig));
}

void BM_OpenZipOnlyWith20Packs(benchmark::State& state) {
    for (auto _ : state) {
        auto stream = tree().locator().Open("text\\zip.txt");
        if (stream == nullptr) {
            state.SkipWithError("zip entry not found");
        }
    }
}

} // namespace

BENCHMARK(BM_LooseRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenZipOnlyWith20Packs)->Unit(benchmark::kMicrosecond);
