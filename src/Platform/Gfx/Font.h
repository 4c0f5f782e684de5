#pragma once

#include "Platform/Gfx/Types.h"

#include <memory>
#include <string>

namespace Gfx {

namespace Internal {
class Renderer;
struct FontFace;
} // namespace Internal

// Text in the current render target with a fixed-pitch face: the 16-pixel font has 16-pixel
// lines (12 above the baseline) and an 8-pixel advance. Lines end at LF, CR or CRLF; other
// control characters draw nothing and take no width. Horizontal alignment (TextCenter,
// TextRight) applies to each line, vertical alignment (TextVCenter, TextBottom) to the block.
// Text is drawn at once, straight-alpha blended; the device's state is left as it was.
class Font {
public:
    // "Courier New" resolves through fontconfig to a metric-compatible face (Liberation Mono).
    // kErrNotAvailable when no face can be loaded.
    static int Create(const std::shared_ptr<Internal::Renderer>& renderer, const FontDesc& desc,
                      std::shared_ptr<Font>& out);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // 8-bit text in the data's code page; `count` -1 draws up to the terminating zero.
    // `heightOut` receives the height of the drawn block.
    int DrawText(const std::string& text, int count, const Rect& rect, uint32_t format,
                 uint32_t argb, int* heightOut = nullptr);
    int DrawTextW(const std::wstring& text, int count, const Rect& rect, uint32_t format,
                  uint32_t argb, int* heightOut = nullptr);
    int OnLostDevice() { return kOk; }
    int OnResetDevice() { return kOk; }

    explicit Font(std::unique_ptr<Internal::FontFace> face);

private:
    std::unique_ptr<Internal::FontFace> face_;
};

// Text of the data's code page (Windows-1252) as wide characters.
std::wstring DecodeCodePage(const std::string& text);

} // namespace Gfx
