#pragma once

#include <memory>

namespace Gfx {
class Texture;
}

namespace State::Control {

// What a texture handler gives for one frame of an image: the texture, the frame's rectangle
// in texture coordinates (left, top, right, bottom) and half a texel of that texture.
struct ImageFrame {
    std::shared_ptr<Gfx::Texture> texture;
    float uL = 0.0f, vT = 0.0f, uR = 0.0f, vB = 0.0f;
    float halfU = 0.0f, halfV = 0.0f;
};

// The source named in the log lines of image layout and drawing.
inline constexpr const char* kImageWhere = ".\\States\\Controls\\Image";

} // namespace State::Control
