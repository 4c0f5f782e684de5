#pragma once

#include "Game/MapPart.h"
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
    // "tex" (required): the stripe's name.
    void Load(const XmlDom::Element& element);
    // The stripe's frame size. An unknown stripe throws `exception`.
    std::pair<int, int> Layout() const;
    // Frame F (from 1) of the stripe. False, drawing nothing, for a frame outside the stripe,
    // a frame without a source (its zero-based index is logged, once while it stays the same)
    // and a texture that cannot be had.
    bool Frame(std::uint32_t F, ImageFrame& out);
    void Start() {}
    // Every frame's source, in frame order, empty ones included, as flat textures.
    void CollectResources(std::vector<MapResource>& list) const;

    std::string tex_;

private:
    std::int64_t emptyLogged_ = -1;
};

} // namespace State::Control
