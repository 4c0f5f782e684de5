// Effect files from the data.
#include "Platform/Gfx/EffectSource.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Gfx::EffectSource source;
    std::string error;
    Gfx::ParseEffectSource(reinterpret_cast<const char*>(data), size, source, error);
    return 0;
}
