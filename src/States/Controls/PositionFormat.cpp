#include "States/Controls/PositionFormat.h"

#include "Game/Exception.h"

#include <boost/lexical_cast.hpp>

namespace State::Control {

namespace {

template <typename T>
T Parse(const std::string& text) {
    try {
        return boost::lexical_cast<T>(text);
    } catch (const boost::bad_lexical_cast&) {
        throw exception("Bad position format");
    }
}

} // namespace

int ParsePixel(const std::string& text) {
    return Parse<int>(text);
}

float ParseAngle(const std::string& text) {
    return Parse<float>(text);
}

} // namespace State::Control
