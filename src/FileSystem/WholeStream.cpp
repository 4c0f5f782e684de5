#include "FileSystem/WholeStream.h"

#include "FileSystem/InternalInputStream.h"

#include <algorithm>
#include <wx/wfstream.h>

namespace {

// The first allocation for a stream whose length is a claim; later ones double.
constexpr std::size_t kFirstPiece = 64 * 1024;

std::string Ends(std::size_t got, std::uint64_t declared) {
    return "it ends after " + std::to_string(got) + " of the " + std::to_string(declared) +
           " bytes it declares";
}

std::string TooLarge(std::size_t limit) {
    return "it holds more than the " + std::to_string(limit) + " bytes a file may hold";
}

// Whether the stream's length is that of a file on disk rather than a claim of its data.
bool LengthIsTrusted(wxInputStream& stream) {
    return dynamic_cast<InternalInputStream*>(&stream) != nullptr ||
           dynamic_cast<wxFileInputStream*>(&stream) != nullptr;
}

// Reads into out[done, out.size()); returns the new count of bytes read.
std::size_t Fill(wxInputStream& stream, std::vector<std::uint8_t>& out, std::size_t done) {
    if (auto* entry = dynamic_cast<InternalInputStream*>(&stream)) {
        // The pack's own read, without the stream library's clearing of the buffer first.
        return done + entry->ReadDirect(out.data() + done, out.size() - done);
    }
    while (done < out.size() && stream.Read(out.data() + done, out.size() - done).LastRead() > 0) {
        done += stream.LastRead();
    }
    return done;
}

// Whether the stream has a byte left.
bool HasMore(wxInputStream& stream) {
    std::uint8_t probe = 0;
    return stream.Read(&probe, 1).LastRead() > 0;
}

} // namespace

namespace WholeStream {

std::string Read(wxInputStream& stream, std::vector<std::uint8_t>& out, std::size_t limit) {
    out.clear();
    const wxFileOffset length = stream.GetLength();
    const bool declared = length != wxInvalidOffset && length >= 0;
    const auto expected = static_cast<std::uint64_t>(declared ? length : 0);
    if (declared && expected > limit) {
        return "it declares " + std::to_string(expected) + " bytes, more than the " +
               std::to_string(limit) + " a file may hold";
    }
    // A length from the disk is read at once; any other grows with what arrives, up to what
    // it declares (and one byte more, to see whether it runs past), or up to the limit.
    const std::size_t bound = declared ? static_cast<std::size_t>(expected) : limit;
    std::size_t done = 0;
    std::size_t size = LengthIsTrusted(stream) ? bound : std::min(bound, kFirstPiece);
    for (;;) {
        out.reserve(size); // exactly: a resize alone could double the capacity
        out.resize(size);
        done = Fill(stream, out, done);
        if (done < size || size == bound) {
            break;
        }
        size = std::min(bound, size * 2);
    }
    out.resize(done);
    if (declared && done < expected) {
        return Ends(done, expected);
    }
    if (HasMore(stream)) {
        return declared
                   ? "it holds more than the " + std::to_string(expected) + " bytes it declares"
                   : TooLarge(limit);
    }
    if (stream.GetLastError() == wxSTREAM_READ_ERROR) {
        return "a read error after " + std::to_string(done) + " bytes";
    }
    return {};
}

} // namespace WholeStream
