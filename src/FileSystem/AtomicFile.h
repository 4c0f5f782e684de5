#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file that replaces its target only once it is complete: the bytes go to target + ".tmp",
// which Commit syncs and renames over the target (and syncs the folder, so the rename is
// durable). Whatever is at the temporary name beforehand (a file left by a crash, a planted
// link) is removed and the temporary file created anew, never through a link. An existing
// target stays untouched until the rename; a file that is not committed, or fails, leaves
// no temporary file behind.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when the temporary file could not be created or an earlier write failed.
    bool IsOk() const { return fd_ >= 0; }
    // Appends the bytes; false (and the file abandoned) on a failure.
    bool Write(const std::uint8_t* bytes, std::size_t size);
    // Syncs, closes and renames over the target; false (nothing replaced) on a failure. A
    // failure to sync the folder after the rename is only logged: the new file is in place.
    bool Commit();

    // The whole of bytes as the file at path, in one step.
    static bool WriteWhole(const std::string& path, const std::string& bytes);

private:
    void Abandon();

    std::string path_;
    std::string temp_;
    int fd_;
};
