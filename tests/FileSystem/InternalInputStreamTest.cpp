// The entry stream's edges: zero-byte reads, reading past the end, seeks outside the entry,
// large entries read in pieces, and a pack file that shrinks under an open entry.

#include "FileSystem/InternalInputStream.h"

#include "FileSystem/Pack.h"
#include "FileSystem/PackFile.h"
#include "FileSystemFixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class EntryStream : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (dir_ / "p.kpk").string();
        big_.resize(700001);
        for (std::size_t i = 0; i < big_.size(); ++i) {
            big_[i] = static_cast<std::uint8_t>(i * 31 + i / 977);
        }
        // Entries start at no particular alignment ("a" is 6 bytes long).
        ASSERT_TRUE(Pack::Write({{"a", test::Bytes("before")},
                                 {"b", test::Bytes("0123456789")},
                                 {"big", big_},
                                 {"c", test::Bytes("after")}},
                                path_));
        ASSERT_TRUE(Pack::Mount(path_));
    }

    std::unique_ptr<InternalInputStream> Open(const std::string& name) {
        const auto record = Pack::Find(path_, name);
        EXPECT_TRUE(record);
        return std::make_unique<InternalInputStream>(Pack::Stream(path_), record->offset_,
                                                     record->size_);
    }

    test::TempDir dir_;
    std::string path_;
    std::vector<std::uint8_t> big_;
};

TEST_F(EntryStream, ZeroByteReadsAndReadsPastTheEnd) {
    const auto s = Open("b");
    char buf[32] = {};
    s->SeekI(3);
    EXPECT_EQ(s->Read(buf, 0).LastRead(), 0u);
    EXPECT_FALSE(s->Eof()); // a zero-byte read inside the entry is not its end
    EXPECT_EQ(s->Read(buf, sizeof buf).LastRead(), 7u);
    EXPECT_EQ(std::string(buf, 7), "3456789");
    EXPECT_TRUE(s->Eof());
    EXPECT_EQ(s->Read(buf, 1).LastRead(), 0u);
    EXPECT_TRUE(s->Eof());
}

TEST_F(EntryStream, SeeksClampEveryTargetOutsideTheEntryToTheEnd) {
    struct Case {
        const char* what;
        wxFileOffset start;
        wxFileOffset offset;
        wxSeekMode mode;
        wxFileOffset expected;
    };
    const Case cases[] = {
        {"from start inside", 0, 4, wxFromStart, 4},
        {"from start beyond", 0, 11, wxFromStart, 10},
        {"from start 2^32 + 5", 0, (wxFileOffset{1} << 32) + 5, wxFromStart, 10},
        {"from start before the start", 5, -1, wxFromStart, 10},
        {"back from current", 6, -4, wxFromCurrent, 2},
        {"from current 2^32 - 2", 6, (wxFileOffset{1} << 32) - 2, wxFromCurrent, 10},
        {"from current before the start", 2, -3, wxFromCurrent, 10},
        {"back from end", 0, -3, wxFromEnd, 7},
        {"from end before the start", 0, -11, wxFromEnd, 10},
        {"largest offset", 6, std::numeric_limits<wxFileOffset>::max(), wxFromCurrent, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto s = Open("b");
        ASSERT_EQ(s->SeekI(c.start), c.start);
        EXPECT_EQ(s->SeekI(c.offset, c.mode), c.expected);
        EXPECT_EQ(s->TellI(), c.expected);
    }
}

TEST_F(EntryStream, EntrySpanningManyPiecesReadsExactly) {
    for (const std::size_t chunk : {std::size_t{100003}, big_.size() + 5}) {
        const auto s = Open("big");
        std::vector<std::uint8_t> out;
        std::vector<std::uint8_t> piece(chunk);
        while (s->Read(piece.data(), piece.size()).LastRead() > 0) {
            out.insert(out.end(), piece.begin(),
                       piece.begin() + static_cast<std::ptrdiff_t>(s->LastRead()));
        }
        EXPECT_TRUE(s->Eof());
        EXPECT_TRUE(out == big_) << "read in pieces of " << chunk;
    }
}

TEST_F(EntryStream, ShrunkPackDeliversOnlyTheBytesRead) {
    const auto s = Open("b");
    const auto record = Pack::Find(path_, "b");
    // Cut the file three bytes into the entry.
    ASSERT_EQ(::truncate(path_.c_str(), static_cast<off_t>(record->offset_ + 3)), 0);
    char buf[10];
    std::fill(std::begin(buf), std::end(buf), '#');
    EXPECT_EQ(s->Read(buf, sizeof buf).LastRead(), 3u);
    EXPECT_EQ(std::string(buf, 3), "012");
    // The rest holds nothing from the stream (the library may clear what was not read).
    EXPECT_TRUE(std::all_of(buf + 3, buf + 10, [](char c) { return c == '#' || c == '\0'; }));
    EXPECT_EQ(s->GetLastError(), wxSTREAM_READ_ERROR);
}

} // namespace
