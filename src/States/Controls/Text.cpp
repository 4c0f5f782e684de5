#include "States/Controls/Text.h"

#include "Game/Check.h"
#include "Game/GfxLink.h"
#include "Platform/Gfx/Font.h"
#include "States/ScopedBinding.h"

#include <algorithm>
#include <boost/lexical_cast.hpp>

namespace State::Control {

namespace {

// Corners further out than this are pulled in: nothing out there is visible, and the font's
// alignment sums (right - left - width) then cannot overflow.
constexpr std::int64_t kFarPixel = std::int64_t(1) << 24;

std::int32_t Pixel(std::int64_t value) {
    return std::int32_t(std::clamp(value, -kFarPixel, kFarPixel));
}

std::uint32_t AlignFlags(const std::string& word, const char* first, std::uint32_t firstFlag,
                         const char* second, std::uint32_t secondFlag) {
    // Exact words only: "Center" aligns nothing.
    return word == first ? firstFlag : word == second ? secondFlag : 0;
}

} // namespace

void Text::Load(const XmlDom::Element& element) {
    text_ = XmlDom::Attr(element, "text", "");
    colour_ = ParseColor(XmlDom::Attr(element, "color", "#FFFFFF"));
    // Sums in 64 bits: a huge width must not overflow.
    const std::int64_t x = boost::lexical_cast<int>(XmlDom::Attr(element, "x", "0"));
    const std::int64_t y = boost::lexical_cast<int>(XmlDom::Attr(element, "y", "0"));
    const std::int64_t w = boost::lexical_cast<int>(XmlDom::Attr(element, "w", "0"));
    const std::int64_t h = boost::lexical_cast<int>(XmlDom::Attr(element, "h", "0"));
    rect_ = {Pixel(x), Pixel(y), Pixel(x + w), Pixel(y + h)};
    format_ |= AlignFlags(XmlDom::Attr(element, "alignx", "left"), "center", Gfx::TextCenter,
                          "right", Gfx::TextRight);
    format_ |= AlignFlags(XmlDom::Attr(element, "aligny", "top"), "middle", Gfx::TextVCenter,
                          "bottom", Gfx::TextBottom);
    clickable_ = false;
}

void Text::Render() {
    if (text_.empty() || !GfxLink::HasDevice()) {
        return;
    }
    // The font takes the data's 8-bit code page, not UTF-8.
    CheckResult(GfxLink::Font().DrawText(text_, -1, rect_, format_, colour_),
                ".\\States\\Controls\\Text",
                "dx().font()->DrawText( NULL, text_.c_str(), -1, &rect_, format_, color_ )");
}

void Text::Bind(ScopedBinding& scope) {
    scope.Bind("set_text", this, &Text::SetText);
}

std::uint32_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return std::uint32_t(c - '0');
    }
    if (c >= 'A' && c <= 'E') {
        return std::uint32_t(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'e') {
        return std::uint32_t(c - 'a' + 10);
    }
    return 15;
}

std::uint32_t ParseColor(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') {
        return 0xFFFFFFFF;
    }
    const auto channel = [&text](std::size_t i) {
        return HexDigitValue(text[i]) * 16 + HexDigitValue(text[i + 1]);
    };
    return 0xFF000000u | channel(1) << 16 | channel(3) << 8 | channel(5);
}

} // namespace State::Control
