#include "States/Controls/ImageState.h"

#include <algorithm>
#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/algorithm/string/trim.hpp>
#include <boost/format.hpp>
#include <boost/lexical_cast.hpp>
#include <cmath>
#include <cstdlib>

namespace State::Control {

void LoadImageStates(const XmlDom::Element& image, std::map<std::string, ImageState>& states) {
    const XmlDom::Selection children = XmlDom::SelectNodes(image, "state");
    for (int i = 0; i < children.Length(); ++i) {
        const XmlDom::Element element = XmlDom::Item(children, i);
        const std::string name =
            XmlDom::Attr(element, "name", (boost::format("state%1%") % i).str());
        ImageState& state = states[name];
        state.frame = boost::lexical_cast<std::uint32_t>(XmlDom::RequiredAttr(element, "frame"));
        state.length = boost::lexical_cast<std::int32_t>(XmlDom::Attr(element, "length", "1"));
        state.delay =
            float(boost::lexical_cast<std::uint32_t>(XmlDom::Attr(element, "delay", "200")));
        state.loop = XmlDom::Attr(element, "loop", "no") != "no";
        state.context = XmlDom::Attr(element, "context", "do");
        state.script = XmlDom::Text(element);
    }
}

std::vector<float> ParseImagePos(const std::string& text) {
    std::vector<float> numbers;
    if (text.empty()) {
        return numbers;
    }
    std::vector<std::string> pieces;
    boost::split(pieces, text, boost::is_any_of(","), boost::token_compress_on);
    for (std::string& piece : pieces) {
        boost::trim(piece);
        numbers.push_back(boost::lexical_cast<float>(piece));
    }
    return numbers;
}

std::uint32_t FrameCount(const ImageState& state) {
    return static_cast<std::uint32_t>(std::llabs(static_cast<long long>(state.length)));
}

std::uint32_t FrameIndex(const ImageState& state, std::uint32_t count, float elapsed) {
    if (count <= 1 || !(state.delay > 0.0f) || !(elapsed > 0.0f) || !std::isfinite(elapsed)) {
        return 0;
    }
    // Saturated before the conversion: a quotient past the range is still past the end.
    const float steps = elapsed / state.delay;
    std::uint32_t index = steps < 4294967040.0f ? static_cast<std::uint32_t>(steps) : 4294967295u;
    if (index > count - 1) {
        index = state.loop ? index % count : count - 1;
    }
    return index;
}

float ClampOpacity(float value) {
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

std::uint32_t ImageColour(float opacity) {
    const auto alpha = static_cast<std::uint32_t>(ClampOpacity(opacity) * 255.0f);
    return (alpha << 24) | 0xFFFFFFu;
}

} // namespace State::Control
