#pragma once

#include "Game/MapPart.h"
#include "Game/XmlDom.h"
#include "States/Controls/ImageFrame.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace State::Control {

// The frames of an image as the cells of one texture: a grid of equal cells, row by row.
class TextureHandlerSimple {
public:
    // "tex" (required), "frames" (required, at least 1), "width" and "height" (default 0:
    // computed at layout). Zero frames is a configuration error.
    void Load(const XmlDom::Element& element);
    // The cell size in pixels, from the texture's size. Without a device (tools, tests) the
    // declared size; when the texture cannot be had (logged), or no cell fits, the grid stays
    // unformed and the image draws nothing.
    std::pair<int, int> Layout();
    // Forms the grid on a texture of W x H texels and answers the cell size. A cell width of
    // 0 or wider than the texture leaves the grid unformed (logged).
    std::pair<int, int> LayoutGrid(std::uint32_t W, std::uint32_t H);
    // Frame F (from 1) of the grid. False, drawing nothing, for a frame outside 1 to
    // `frames_`, an unformed grid, or a texture that cannot be had (logged), which is then not
    // asked for again until the next start.
    bool Frame(std::uint32_t F, ImageFrame& out);
    // Loads the texture and puts it on the device before the first frame; a texture that
    // cannot be had is logged and not asked for again until the next start.
    void Start();
    // The texture, as a flat texture.
    void CollectResources(std::vector<MapResource>& list) const;
    // The frame's rectangle in the grid, texture aside.
    void CellOf(std::uint32_t F, ImageFrame& out) const;

    std::string tex_;
    std::uint32_t frames_ = 0;
    int width_ = 0;
    int height_ = 0;
    // Cells per row; 0 while the grid is not formed.
    std::uint32_t columns_ = 0;
    float frameU_ = 0.0f, frameV_ = 0.0f;
    float halfU_ = 0.0f, halfV_ = 0.0f;

private:
    // Logs the missing texture and remembers it.
    void Missing();

    // The texture could not be had since the last start.
    bool missing_ = false;
};

} // namespace State::Control
