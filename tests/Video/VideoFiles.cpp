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

} // namespace videotest
