// Plays arbitrary bytes as a video, and a small generated video whose packets the bytes
// change (paged anew, so the changes reach the decoder past the pages' checksums): a file
// may be refused with std::runtime_error, but what opens must decode to its end within the
// frame size the headers give and copy its frame into a surface of any size.

#include "Platform/Gfx/Types.h"
#include "Video/TheoraFile.h"
#include "VideoGen/TheoraWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>
#include <wx/mstream.h>

namespace {

const std::string& Sample() {
    static const std::string bytes = [] {
        TheoraWriter::Params params;
        params.width = 32;
        params.height = 32;
        params.frames = 4;
        return TheoraWriter::Encode(params, [](int index, TheoraWriter::Planes& planes) {
            for (std::size_t i = 0; i < planes.y.size(); ++i) {
                planes.y[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(index));
            }
        });
    }();
    return bytes;
}

void Play(const std::string& bytes) {
    try {
        TheoraFile file("fuzz", std::make_unique<wxMemoryInputStream>(bytes.data(), bytes.size()));
        if (file.Width() > TheoraFile::kMaxSide || file.Height() > TheoraFile::kMaxSide) {
            std::abort();
        }
        file.Advance(1000.0f);
        file.Advance(1.0e9f);
        // At a frame or more per second, that much time reaches the end of any file.
        if (file.Fps() >= 1.0f && !file.Eof()) {
            std::abort();
        }
        for (const std::uint32_t side : {8u, 640u}) {
            std::vector<std::uint32_t> texels(std::size_t{side} * side);
            Gfx::LockedRect rect;
            rect.pitch = static_cast<std::int32_t>(side * 4);
            rect.bits = texels.data();
            rect.width = rect.height = side;
            file.CopyYUV(rect);
        }
    } catch (const std::runtime_error&) {
        // Refused: the decoder's answer for a damaged file.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Play(std::string(reinterpret_cast<const char*>(data), size));
    // Every four bytes change one byte of one packet: packet, offset (two bytes), value.
    Play(TheoraWriter::RewritePackets(Sample(), [&](std::int64_t number, std::string& packet) {
        for (std::size_t i = 0; i + 4 <= size && !packet.empty(); i += 4) {
            if (data[i] % 8 == number) {
                packet[(std::size_t{data[i + 1]} << 8 | data[i + 2]) % packet.size()] ^=
                    static_cast<char>(data[i + 3]);
            }
        }
    }));
    return 0;
}
