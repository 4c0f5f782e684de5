#include "Platform/Window/FrameRect.h"

#include <cstdint>

namespace Platform {

namespace {
constexpr std::int64_t kFrameWidth = 1024;
constexpr std::int64_t kFrameHeight = 768;
} // namespace

Rect LetterboxRect(int width, int height) {
    if (width <= 0 || height <= 0) {
        return Rect{};
    }
    Rect rect;
    if (std::int64_t(width) * kFrameHeight >= std::int64_t(height) * kFrameWidth) {
        // Wider than 4:3: bars left and right.
        rect.height = height;
        rect.width = static_cast<int>(std::int64_t(height) * kFrameWidth / kFrameHeight);
    } else {
        // Taller: bars above and below.
        rect.width = width;
        rect.height = static_cast<int>(std::int64_t(width) * kFrameHeight / kFrameWidth);
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

} // namespace Platform
