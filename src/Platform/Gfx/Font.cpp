#include "Platform/Gfx/Font.h"

#include "Platform/Gfx/GlRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace Gfx {

namespace Internal {

namespace {

// The metrics of the 16-pixel cell: the game's text boxes are laid out with them.
constexpr int kLineHeight = 16;
constexpr int kAscent = 12;
constexpr int kAdvance = 8;
// The glyph atlas: slots of one cell, filled on demand, emptied when full.
constexpr int kAtlasSize = 512;
constexpr int kSlotWidth = 16, kSlotHeight = 24;
constexpr int kSlotsPerRow = kAtlasSize / kSlotWidth;
constexpr int kSlotCount = kSlotsPerRow * (kAtlasSize / kSlotHeight);

struct Glyph {
    int slot = 0;
    int left = 0, top = 0, width = 0, height = 0;
};

struct TextVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

// The file of a face name through fontconfig ("Courier New" -> Liberation Mono).
std::string ResolveFace(const std::string& name) {
    if (!FcInit()) {
        return std::string();
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    if (pattern == nullptr) {
        return std::string();
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

} // namespace

struct FontFace {
    ~FontFace() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
        if (renderer) {
            renderer->Context().ReleaseTexture(atlas);
        }
    }

    const Glyph* Find(char32_t code);
    int Draw(const std::u32string& text, const Rect& rect, uint32_t format, uint32_t argb,
             int* heightOut);

    std::shared_ptr<Renderer> renderer;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    GLuint atlas = 0;
    std::unordered_map<char32_t, Glyph> glyphs;
    std::vector<TextVertex> vertices;
};

const Glyph* FontFace::Find(char32_t code) {
    if (auto it = glyphs.find(code); it != glyphs.end()) {
        return &it->second;
    }
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER) != 0) {
        // A code point the face cannot render draws its missing-glyph box.
        if (code == 0 || FT_Load_Glyph(face, 0, FT_LOAD_RENDER) != 0) {
            return nullptr;
        }
    }
    if (glyphs.size() >= size_t(kSlotCount)) {
        glyphs.clear();
    }
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    Glyph glyph;
    glyph.slot = int(glyphs.size());
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = std::min(int(bitmap.width), kSlotWidth);
    glyph.height = std::min(int(bitmap.rows), kSlotHeight);
    if (glyph.width > 0 && glyph.height > 0) {
        std::vector<uint8_t> cell(size_t(glyph.width) * glyph.height);
        for (int y = 0; y < glyph.height; ++y) {
            const uint8_t* row = bitmap.pitch >= 0
                                     ? bitmap.buffer + y * bitmap.pitch
                                     : bitmap.buffer + (int(bitmap.rows) - 1 - y) * -bitmap.pitch;
            std::copy(row, row + glyph.width, cell.begin() + y * glyph.width);
        }
        glBindTexture(GL_TEXTURE_2D, atlas);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, (glyph.slot % kSlotsPerRow) * kSlotWidth,
                        (glyph.slot / kSlotsPerRow) * kSlotHeight, glyph.width, glyph.height,
                        GL_RED, GL_UNSIGNED_BYTE, cell.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    return &glyphs.emplace(code, glyph).first->second;
}

int FontFace::Draw(const std::u32string& text, const Rect& rect, uint32_t format, uint32_t argb,
                   int* heightOut) {
    // Lines end at LF, CR or CRLF.
    std::vector<std::u32string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
                ++i;
            }
            lines.emplace_back();
        } else if (c >= 0x20 && c != 0x7F) {
            lines.back().push_back(c); // other control characters draw nothing
        }
    }
    const int blockHeight = kLineHeight * int(lines.size());
    int y = rect.top;
    if (format & TextBottom) {
        y = rect.bottom - blockHeight;
    } else if (format & TextVCenter) {
        y = rect.top + (rect.bottom - rect.top - blockHeight) / 2;
    }
    if (heightOut != nullptr) {
        *heightOut = blockHeight;
    }
    vertices.clear();
    const float texel = 1.0f / float(kAtlasSize);
    for (const std::u32string& line : lines) {
        const int width = kAdvance * int(line.size());
        int x = rect.left;
        if (format & TextRight) {
            x = rect.right - width;
        } else if (format & TextCenter) {
            x = rect.left + (rect.right - rect.left - width) / 2;
        }
        for (char32_t c : line) {
            const Glyph* glyph = Find(c);
            if (glyph != nullptr && glyph->width > 0 && glyph->height > 0) {
                // Corners on pixel edges: half a pixel before the pixel centres.
                const float x0 = float(x + glyph->left) - 0.5f;
                const float y0 = float(y + kAscent - glyph->top) - 0.5f;
                const float x1 = x0 + float(glyph->width), y1 = y0 + float(glyph->height);
                const float u0 = float((glyph->slot % kSlotsPerRow) * kSlotWidth) * texel;
                const float v0 = float((glyph->slot / kSlotsPerRow) * kSlotHeight) * texel;
                const float u1 = u0 + float(glyph->width) * texel;
                const float v1 = v0 + float(glyph->height) * texel;
                const TextVertex tl{x0, y0, 0, 1, argb, u0, v0}, tr{x1, y0, 0, 1, argb, u1, v0};
                const TextVertex bl{x0, y1, 0, 1, argb, u0, v1}, br{x1, y1, 0, 1, argb, u1, v1};
                vertices.insert(vertices.end(), {tl, tr, bl, tr, br, bl});
            }
            x += kAdvance;
        }
        y += kLineHeight;
    }
    if (vertices.empty()) {
        return kOk;
    }
    if (int r = renderer->Stream(FvfXyzRhw | FvfDiffuse | FvfTex1, sizeof(TextVertex),
                                 vertices.data(), vertices.size() * sizeof(TextVertex));
        r != kOk) {
        return r;
    }
    DrawState s = renderer->ModulatedScreenState(true);
    s.texture = atlas;
    const bool clip = (format & TextNoClip) == 0;
    if (clip) {
        glEnable(GL_SCISSOR_TEST);
        renderer->Scissor(rect.left, rect.top, rect.right, rect.bottom);
    }
    renderer->DrawFixed(s, GL_TRIANGLES, GLsizei(vertices.size()), false);
    glDisable(GL_SCISSOR_TEST);
    return kOk;
}

} // namespace Internal

int Font::Create(const std::shared_ptr<Internal::Renderer>& renderer, const FontDesc& desc,
                 std::shared_ptr<Font>& out) {
    if (desc.height <= 0 || desc.height > 256) {
        return kErrInvalidCall;
    }
    auto face = std::make_unique<Internal::FontFace>();
    const std::string file = Internal::ResolveFace(desc.face);
    if (file.empty() || FT_Init_FreeType(&face->library) != 0 ||
        FT_New_Face(face->library, file.c_str(), 0, &face->face) != 0) {
        return kErrNotAvailable;
    }
    // The requested height is the cell (ascent + descent), as the game's font sizes are.
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = FT_Long(desc.height) << 6;
    if (FT_Request_Size(face->face, &request) != 0) {
        return kErrNotAvailable;
    }
    face->renderer = renderer;
    glGenTextures(1, &face->atlas);
    glBindTexture(GL_TEXTURE_2D, face->atlas);
    std::vector<uint8_t> empty(size_t(Internal::kAtlasSize) * Internal::kAtlasSize, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, Internal::kAtlasSize, Internal::kAtlasSize, 0, GL_RED,
                 GL_UNSIGNED_BYTE, empty.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // Coverage is the alpha of a white texel: the colour then modulates it.
    const GLint swizzle[4] = {GL_ONE, GL_ONE, GL_ONE, GL_RED};
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
    out = std::make_shared<Font>(std::move(face));
    return kOk;
}

Font::Font(std::unique_ptr<Internal::FontFace> face) : face_(std::move(face)) {}

Font::~Font() = default;

namespace {

template <typename Text>
std::u32string Prefix(const Text& text, int count) {
    size_t n = text.size();
    if (count >= 0) {
        n = std::min(n, size_t(count));
    }
    // Up to the terminating zero, as the count -1 calls expect.
    std::u32string result;
    for (size_t i = 0; i < n && text[i] != 0; ++i) {
        result.push_back(char32_t(text[i]));
    }
    return result;
}

} // namespace

int Font::DrawText(const std::string& text, int count, const Rect& rect, uint32_t format,
                   uint32_t argb, int* heightOut) {
    return DrawTextW(DecodeCodePage(text), count, rect, format, argb, heightOut);
}

int Font::DrawTextW(const std::wstring& text, int count, const Rect& rect, uint32_t format,
                    uint32_t argb, int* heightOut) {
    if (!face_->renderer->OnUiThread()) {
        return kErrInvalidCall;
    }
    return face_->Draw(Prefix(text, count), rect, format, argb, heightOut);
}

std::wstring DecodeCodePage(const std::string& text) {
    // Windows-1252: 0x80..0x9F hold typographic characters; the rest is Latin-1.
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::wstring result;
    result.reserve(text.size());
    for (char c : text) {
        const auto byte = uint8_t(c);
        result.push_back(byte >= 0x80 && byte < 0xA0 ? wchar_t(high[byte - 0x80]) : wchar_t(byte));
    }
    return result;
}

} // namespace Gfx
