#pragma once

#include "Platform/Gfx/Types.h"
#include "States/Controls/BaseImpl.h"

#include <cstdint>
#include <string>

namespace State::Control {

// A line or block of text on a flat screen, drawn with the device's font in a fixed
// rectangle, colour and alignment. Scripts of the control replace it through "set_text".
// It is never a click target and shows no cursor context; its region stays empty.
class Text : public FlatControl {
public:
    // No context: the hit tests never accept the text.
    std::string GetContext() override { return std::string(); }
    // The text in its rectangle, when it is not empty.
    void Render() override;
    void Click() override {}
    // "text", "color", "x", "y", "w", "h", "alignx", "aligny"; the text is never clickable,
    // whatever "click" says.
    void Load(const XmlDom::Element& element) override;
    void Bind(ScopedBinding& scope) override;

    // Lua "set_text": drawn from the next frame on.
    void SetText(const std::string& text) { text_ = text; }

    std::uint32_t colour_ = 0xFFFFFFFF;
    // 8-bit text in the data's code page.
    std::string text_;
    // Pixels of the 1024x768 frame.
    Gfx::Rect rect_;
    std::uint32_t format_ = Gfx::TextNoClip;
};

// "#RRGGBB" as opaque ARGB; any other form (no '#', another length, empty) is opaque white.
std::uint32_t ParseColor(const std::string& text);
// '0'-'9' and 'A'-'E' (either case) give their value; every other character gives 15.
std::uint32_t HexDigitValue(char c);

} // namespace State::Control
