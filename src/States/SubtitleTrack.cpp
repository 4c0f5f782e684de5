#include "States/SubtitleTrack.h"

#include <boost/lexical_cast/bad_lexical_cast.hpp>
#include <cstdint>
#include <limits>
#include <typeinfo>

namespace State {

namespace {

// A time field: decimal digits only, within 32 bits. A sign, a space or a fraction is an
// error, as is a value too large to be a time.
float ParseTime(const std::string& field) {
    std::uint64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            throw boost::bad_lexical_cast(typeid(std::string), typeid(std::uint32_t));
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            throw boost::bad_lexical_cast(typeid(std::string), typeid(std::uint32_t));
        }
    }
    if (field.empty()) {
        throw boost::bad_lexical_cast(typeid(std::string), typeid(std::uint32_t));
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

void SubtitleTrack::Parse(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
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
        lines_.emplace(ParseTime(line.substr(0, colon)), ParseText(line.substr(colon + 1)));
    }
    position_ = lines_.end();
}

} // namespace State
