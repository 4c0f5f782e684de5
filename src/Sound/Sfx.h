#pragma once

#include "Sound/Base.h"

#include <cstdint>
#include <string>

namespace Sound {

// A static sound: the whole source decoded once into a buffer of its size.
class Sfx : public Base {
public:
    // `flags` are the sound's buffer controls (volume, and 3-D for a panned sound).
    Sfx(const std::string& src, std::uint32_t flags, bool loop);
};

} // namespace Sound
