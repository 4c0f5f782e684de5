#include "Platform/Gfx/Font.h"

namespace Gfx {
namespace Internal {
struct FontFace {};
} // namespace Internal
int Font::Create(const std::shared_ptr<Internal::Renderer>&, const FontDesc&,
                 std::shared_ptr<Font>&) {
    return kErrNotAvailable;
}
Font::Font(std::unique_ptr<Internal::FontFace> face) : face_(std::move(face)) {}
Font::~Font() = default;
} // namespace Gfx
