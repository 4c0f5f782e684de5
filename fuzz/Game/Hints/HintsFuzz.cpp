// Hints files from arbitrary bytes: every line with a colon gives one hint of valid
// characters (no surrogate, nothing past U+10FFFF) or, in a UTF-8 file, a key reported as
// unusable; nothing may crash or leak.
#include "Game/Hints.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::map<std::string, std::wstring> hints;
    std::vector<std::string> unusable;
    Hints::Parse(bytes, hints, unusable);
    if (!unusable.empty() && !Hints::IsUtf8(bytes)) {
        std::abort();
    }
    for (const auto& [key, hint] : hints) {
        if (key.find('\n') != std::string::npos) {
            std::abort();
        }
        for (const wchar_t c : hint) {
            if ((c >= 0xD800 && c <= 0xDFFF) || static_cast<std::uint32_t>(c) > 0x10FFFF) {
                std::abort();
            }
        }
    }
    return 0;
}
