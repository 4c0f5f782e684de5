#pragma once

#include <cstddef>
#include <functional>

namespace test {

// The largest single allocation through operator new made by any thread while run runs.
std::size_t LargestAllocation(const std::function<void()>& run);

} // namespace test
