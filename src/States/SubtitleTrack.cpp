#include "States/SubtitleTrack.h"

#include "Game/Log.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace State {

namespace {

// The UTF-8 byte-order mark that some editors put at the start of a text file.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A time field: decimal digits only, within 32 bits. Anything else is no time, and `reason`
// says why.
std::optional<float> ParseTime(const std::string& field, std::string& reason) {
    if (field.empty()) {
        reason = "no time before the colon";
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            reason = "the time '" + LogValue(field) + "' is not a whole number of milliseconds";
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            reason = "the time '" + LogValue(field) + "' is above 4294967295 milliseconds";
            return std::nullopt;
        }
    }
    return static_cast<float>(value);
}

// The text after the colon with every backslash-n pair turned into a line break.
std::string ParseText(const std::string& field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size() && field[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += field[i];
        }
    }
    return text;
}

} // namespace

std::vector<SubtitleTrack::BadLine> SubtitleTrack::Parse(const std::string& text) {
    std::vector<BadLine> bad;
    std::size_t at = text.starts_with(kByteOrderMark) ? sizeof kByteOrderMark - 1 : 0;
    for (int number = 1; at < text.size(); ++number) {
        const std::size_t end = text.find_first_of("\r\n", at);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(at, stop - at);
        at = stop + 1;
        if (stop + 1 < text.size() && text[stop] == '\r' && text[stop + 1] == '\n') {
            ++at;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string reason;
        if (const std::optional<float> time = ParseTime(line.substr(0, colon), reason)) {
            lines_.emplace(*time, ParseText(line.substr(colon + 1)));
        } else {
            bad.push_back({number, reason});
        }
    }
    position_ = lines_.end();
    return bad;
}

} // namespace State
