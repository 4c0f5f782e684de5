#include "Sound/Sfx.h"

#include "Platform/Audio/Results.h"

namespace Sound {

Sfx::Sfx(const std::string& src, std::uint32_t flags, bool loop)
    : Base(src, flags | Audio::Caps::Static, loop, 0) {}

} // namespace Sound
