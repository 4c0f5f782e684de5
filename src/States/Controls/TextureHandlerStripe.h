#pragma once

#include "Game/MapPart.h"
#include "Game/TexMgr.h"
#include "Game/XmlDom.h"
#include "States/Controls/ImageFrame.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace State::Control {

// The frames of an image as the frames of a named stripe of the texture manager: frame F of
// the image is frame F of the stripe, each a rectangle of the stripe's size in its own
// texture.
class TextureHandlerStripe {
public:
    // "tex" (required): the stripe's name, which must be defined by now; an unknown stripe
    // throws `exception`.
    void Load(const XmlDom::Element& element);
    // The stripe's frame size; none before a load.
    std::pair<int, int> Layout() const;
    // Frame F (from 1) of the stripe. False, drawing nothing, for a frame outside the stripe,
    // a frame without a source (its zero-based index is logged) and a texture that cannot be
    // had; such a frame, and every frame of that texture, is not asked for again until the
    // next start.
    bool Frame(std::uint32_t F, ImageFrame& out);
    // Every frame is asked for once more.
    void Start() { failed_.clear(); }
    // Every frame's source, in frame order, empty ones included, as flat textures. An
    // unknown stripe throws `exception`.
    void CollectResources(std::vector<MapResource>& list) const;

    std::string tex_;

private:
    // The stripe, found at load; null before.
    const TexMgr::Stripe* stripe_ = nullptr;
    // The frames (from 0) that gave nothing since the last start.
    std::vector<bool> failed_;
};

} // namespace State::Control
