#pragma once

#include "../ControlProbe.h"
#include "Game/Game.h"
#include "States/Screen.h"

#include <memory>
#include <string>

namespace test {

// Declares the stripe "walk": `length` frames of w x h texels, the first two side by side at
// the top left of `src`, any further ones without a source.
inline void DeclareWalkStripe(const std::string& src, int length, int w, int h) {
    game().texMgr_.LoadList(ElementOf("<textures><stripe name=\"walk\" src=\"" + src +
                                          "\" length=\"" + std::to_string(length) + "\" width=\"" +
                                          std::to_string(w) + "\" height=\"" + std::to_string(h) +
                                          "\"><fragment frame=\"1\" length=\"2\" x=\"0\" "
                                          "y=\"0\"/></stripe></textures>",
                                      "textures"));
}

// A screen read from its element as the part's factory reads it.
inline std::shared_ptr<State::Screen> ReadScreen(const std::string& xml) {
    auto screen = std::make_shared<State::Screen>();
    screen->LoadCommon(ElementOf(xml, "screen"), "p");
    return screen;
}

} // namespace test
