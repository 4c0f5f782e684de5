// A pack write that fails part-way leaves the previous file as it was.

#include "FileSystem/Pack.h"
#include "FileSystemFixture.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs Pack::Write in a child process whose files may not grow beyond limit bytes, so
// the write fails after that many bytes as on a full disk. Returns Write's answer.
bool WriteWithSizeLimit(const Pack::Entries& entries, const std::string& path, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit cap{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &cap) != 0) {
            ::_exit(2);
        }
        ::_exit(Pack::Write(entries, path) ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "setrlimit failed";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PackWrite, FailurePartWayKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = (dir / "save_2.kgs").string();
    ASSERT_TRUE(Pack::Write({{"data", test::Bytes(std::string(300, 'o'))}}, path));
    const std::string before = test::ReadFile(path);

    const Pack::Entries bigger{{"data", test::Bytes(std::string(5000, 'n'))},
                               {"info", test::Bytes("new")}};
    EXPECT_FALSE(WriteWithSizeLimit(bigger, path, 100));
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    // The same write with room to spare replaces the file.
    EXPECT_TRUE(WriteWithSizeLimit(bigger, path, 1 << 20));
    EXPECT_NE(test::ReadFile(path), before);
}

TEST(PackWrite, MissingFolderFailsAndCreatesNothing) {
    test::TempDir dir;
    const std::string path = (dir / "no" / "save_1.kgs").string();
    EXPECT_FALSE(Pack::Write({{"data", test::Bytes("x")}}, path));
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

} // namespace
