#include "VideoFiles.h"

#include <algorithm>
#include <stdexcept>

namespace videotest {

std::string FlatVideo(TheoraWriter::Params params, const std::function<Yuv(int)>& colour) {
    return TheoraWriter::Encode(params, [&](int index, TheoraWriter::Planes& planes) {
        const Yuv c = colour(index);
        std::fill(planes.y.begin(), planes.y.end(), c.y);
        std::fill(planes.u.begin(), planes.u.end(), c.u);
        std::fill(planes.v.begin(), planes.v.end(), c.v);
    });
}

std::string PatchFirstPacket(const std::string& file,
                             const std::function<void(std::string& packet)>& patch) {
    return TheoraWriter::RewritePackets(file, [&](std::int64_t number, std::string& packet) {
        if (number == 0) {
            patch(packet);
        }
    });
}

void PutBigEndian(std::string& packet, std::size_t at, int bytes, std::uint32_t value) {
    for (int i = bytes - 1; i >= 0; --i) {
        packet.at(at + static_cast<std::size_t>(i)) = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
}

} // namespace videotest
