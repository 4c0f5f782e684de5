#pragma once

#include <cstddef>

namespace test {

// While one exists, records the largest single allocation through operator new made by
// any thread of the test program.
class AllocationWatch {
public:
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    std::size_t Largest() const;
};

} // namespace test
