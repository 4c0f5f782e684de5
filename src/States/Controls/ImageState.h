#pragma once

#include "Game/XmlDom.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace State::Control {

// One named state of an animated image: a run of frames shown at a fixed pace, once or in a
// loop, with its own cursor context and click script.
struct ImageState {
    // Lua text run when the image is clicked in this state.
    std::string script;
    // The cursor context while the pointer is over the image.
    std::string context = "do";
    // The first frame; frames count from 1, and 0 draws nothing.
    std::uint32_t frame = 0;
    // The number of frames; negative: the frames run downwards from `frame`.
    std::int32_t length = 1;
    // Milliseconds per frame.
    float delay = 200.0f;
    bool loop = false;
};

// The image states of an image element: its "state" children in document order, named by
// "name" or, without one, "state" followed by the child's zero-based position (state0,
// state1). A later state of a name changes the fields of the earlier one. "frame" is
// required; "length" (1), "delay" (200, a whole number), "loop" ("no"; any other value
// loops) and "context" ("do") have defaults; the element's text is the click script. A number that
// is not one throws boost::bad_lexical_cast.
void LoadImageStates(const XmlDom::Element& image, std::map<std::string, ImageState>& states);

// The numbers of an image's "pos": pieces between commas, a run of commas counting as one
// separator, each trimmed of white space. An empty text has none; a piece that is not a
// number throws boost::bad_lexical_cast.
std::vector<float> ParseImagePos(const std::string& text);

// The frame index of a state `elapsed` milliseconds after it was entered, counted from 0:
// one step per `delay`, held at the last frame or wrapped round when looping. A delay of 0
// (or less), a negative or non-finite elapsed time give 0.
std::uint32_t FrameIndex(const ImageState& state, std::uint32_t count, float elapsed);

// The number of frames of a state: |length|.
std::uint32_t FrameCount(const ImageState& state);

// The opacity `value` as an image keeps it: within [0, 1]; NaN counts as 0.
float ClampOpacity(float value);

// The colour of an image's vertices: white with the opacity's alpha (its integer part of
// opacity x 255).
std::uint32_t ImageColour(float opacity);

} // namespace State::Control
