// Subtitle files from arbitrary bytes: the parser never throws; every entry has a time of at
// most 32 bits and a text without a carriage return; the bad lines are answered in file order
// with a reason each.
#include "States/SubtitleTrack.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    State::SubtitleTrack track;
    int last = 0;
    for (const State::SubtitleTrack::BadLine& line : track.Parse(bytes)) {
        if (line.number <= last || line.reason.empty()) {
            std::abort();
        }
        last = line.number;
    }
    for (const auto& [time, text] : track.GetLines()) {
        if (time < 0.0f || time > 4294967296.0f || text.find('\r') != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
