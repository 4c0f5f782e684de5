#pragma once

#include <vector>

namespace cg {

// The vertices of a closed polygon in order; the edge from the last vertex back to the first
// is implied. Flat controls use region<point<float, 2>>, panorama controls region<cp<float>>.
template <typename P>
using region = std::vector<P>;

} // namespace cg
