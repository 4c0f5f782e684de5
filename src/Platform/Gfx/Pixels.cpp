#include "Platform/Gfx/Pixels.h"

#include "Platform/Memory/Blocks.h"

#include <cstring>
#include <new>
#include <utility>

namespace Gfx {

Pixels::Pixels(std::size_t size) {
    if (size == 0) {
        return;
    }
    data_ = static_cast<std::uint8_t*>(Memory::AllocateBlock(size));
    if (data_ == nullptr) {
        throw std::bad_alloc();
    }
    size_ = size;
    std::memset(data_, 0, size);
}

Pixels Pixels::Adopt(void* block, std::size_t size) {
    Pixels pixels;
    pixels.data_ = static_cast<std::uint8_t*>(block);
    pixels.size_ = block == nullptr ? 0 : size;
    return pixels;
}

Pixels::~Pixels() {
    Memory::FreeBlock(data_);
}

Pixels::Pixels(Pixels&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

Pixels::Pixels(const Pixels& other) : Pixels(other.size_) {
    if (size_ != 0) {
        std::memcpy(data_, other.data_, size_);
    }
}

Pixels& Pixels::operator=(const Pixels& other) {
    if (this != &other) {
        *this = Pixels(other);
    }
    return *this;
}

Pixels& Pixels::operator=(Pixels&& other) noexcept {
    if (this != &other) {
        Memory::FreeBlock(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void Pixels::Shrink(std::size_t size) {
    if (size >= size_) {
        return;
    }
    if (size == 0) {
        *this = Pixels();
        return;
    }
    Memory::ShrinkBlock(data_, size);
    size_ = size;
}

} // namespace Gfx
