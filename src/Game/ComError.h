#pragma once

#include <stdexcept>

// The error of using an interface reference that is null (E_POINTER). Deliberately not the
// program's `exception`: the start-up routine reports it as "Unspecified error".
class ComError : public std::runtime_error {
public:
    static constexpr int kPointer = -2147467261; // 0x80004003, E_POINTER

    explicit ComError(int result) : std::runtime_error("COM error"), result_(result) {}
    int Result() const noexcept { return result_; }

private:
    int result_;
};
