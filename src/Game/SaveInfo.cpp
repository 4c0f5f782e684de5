#include "Game/SaveInfo.h"

#include <cmath>
#include <limits>

namespace SaveInfo {

namespace {

constexpr int kBias = 16383;

void PutU32BigEndian(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

std::uint32_t GetU32BigEndian(const std::uint8_t* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | in[i];
    }
    return value;
}

} // namespace

std::array<std::uint8_t, 10> EncodeExtended(double value) {
    std::array<std::uint8_t, 10> out{};
    if (value == 0.0 || !std::isfinite(value)) {
        return out;
    }
    const bool negative = value < 0.0;
    int exponent = 0;
    // fraction in [0.5, 1): its top bit is the explicit integer bit of the mantissa.
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const int biased = exponent + kBias - 1;
    out[0] = static_cast<std::uint8_t>(((biased >> 8) & 0x7F) | (negative ? 0x80 : 0));
    out[1] = static_cast<std::uint8_t>(biased & 0xFF);
    const double high = std::floor(std::ldexp(fraction, 32));
    const double low = std::floor(std::ldexp(std::ldexp(fraction, 32) - high, 32));
    PutU32BigEndian(out.data() + 2, static_cast<std::uint32_t>(high));
    PutU32BigEndian(out.data() + 6, static_cast<std::uint32_t>(low));
    return out;
}

bool DecodeExtended(const std::uint8_t* bytes, double& value) {
    const int biased = ((bytes[0] & 0x7F) << 8) | bytes[1];
    if (biased == 0x7FFF) {
        return false;
    }
    const double mantissa = std::ldexp(static_cast<double>(GetU32BigEndian(bytes + 2)), 32) +
                            static_cast<double>(GetU32BigEndian(bytes + 6));
    const double magnitude = std::ldexp(mantissa, biased - kBias - 63);
    value = (bytes[0] & 0x80) != 0 ? -magnitude : magnitude;
    return true;
}

std::vector<std::uint8_t> Encode(float time, const std::string& part) {
    const std::array<std::uint8_t, 10> extended = EncodeExtended(time);
    std::vector<std::uint8_t> out(extended.begin(), extended.end());
    const auto length = static_cast<std::uint32_t>(part.size());
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    out.insert(out.end(), part.begin(), part.end());
    return out;
}

bool Decode(const std::vector<std::uint8_t>& bytes, float& time, std::string& part) {
    if (bytes.size() < kHeaderSize) {
        return false;
    }
    double value = 0.0;
    // Only a value within float's range narrows without undefined behaviour; a play time
    // is never negative.
    if (!DecodeExtended(bytes.data(), value) || value < 0.0 ||
        value > static_cast<double>(std::numeric_limits<float>::max())) {
        return false;
    }
    std::uint32_t length = 0;
    for (int i = 3; i >= 0; --i) {
        length = (length << 8) | bytes[10 + static_cast<std::size_t>(i)];
    }
    if (length > bytes.size() - kHeaderSize) {
        return false;
    }
    time = static_cast<float>(value);
    part.assign(bytes.begin() + kHeaderSize,
                bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + length));
    return true;
}

} // namespace SaveInfo
