#pragma once

#include <cstddef>
#include <cstdint>

// The bytes of a decoded image, in one block from Memory's block allocator (Memory/Blocks.h):
// a full-size picture's pages are made resident in one call, and once the pixels go (after their
// upload) they can go back to the system, whichever thread decoded them.
namespace Gfx {

class Pixels {
public:
    Pixels() = default;
    // `size` zero bytes; throws std::bad_alloc when there is no memory for them.
    explicit Pixels(std::size_t size);
    // Takes over a block from Memory::AllocateBlock holding at least `size` bytes.
    static Pixels Adopt(void* block, std::size_t size);
    ~Pixels();
    Pixels(Pixels&& other) noexcept;
    Pixels& operator=(Pixels&& other) noexcept;
    Pixels(const Pixels& other);
    Pixels& operator=(const Pixels& other);

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t& operator[](std::size_t i) { return data_[i]; }
    const std::uint8_t& operator[](std::size_t i) const { return data_[i]; }

    // Keeps the first `size` bytes (never more than there are); the memory past them goes
    // back where it can.
    void Shrink(std::size_t size);

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace Gfx
